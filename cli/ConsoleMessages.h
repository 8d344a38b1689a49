// Message boxes on a terminal: every text goes to the standard error stream,
// exactly as the program's boxes would show it, and Yes/No questions are
// answered from the command line or at a prompt.
#pragma once

#include <functional>
#include <optional>

#include "platform/MessagePort.h"

namespace varlin::cli {

class ConsoleMessagePort : public MessagePort {
public:
    // When set, every Yes/No question takes this answer without asking.
    std::optional<MessageAnswer> presetAnswer;

    // Runs before each message, so a progress line can be ended first.
    std::function<void()> beforeShowing;

    // How many messages have been shown, so a caller can tell a failure
    // that has been explained from one that has not.
    int shownCount = 0;

    void ShowMessage(const std::string& text) override;
    MessageAnswer ShowSystemMessage(const std::string& text, const std::string& caption,
                                    SystemMessageStyle style) override;
};

}  // namespace varlin::cli
