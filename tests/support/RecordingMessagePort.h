// A message port that keeps every text shown, so tests can assert exactly
// what the user would have read, and answers Yes/No questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/MessagePort.h"

namespace varlin::test {

struct ShownMessage {
    bool system = false;  // false: the framework box with the application's title
    std::string caption;  // system boxes only
    std::string text;
    SystemMessageStyle style;
};

class RecordingMessagePort : public MessagePort {
public:
    void ShowMessage(const std::string& text) override { shown.push_back({false, "", text, {}}); }

    MessageAnswer ShowSystemMessage(const std::string& text, const std::string& caption,
                                    SystemMessageStyle style) override
    {
        shown.push_back({true, caption, text, style});
        if (style.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::No;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The texts in the order shown.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const ShownMessage& message : shown) texts.push_back(message.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers;  // answers to Yes/No questions, in order; No when empty
};

}  // namespace varlin::test
