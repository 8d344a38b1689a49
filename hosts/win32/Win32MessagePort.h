// Message boxes: the framework box, owned by the active window and captioned
// with the application's title, and the system box with a caption of its own
// and no owner.
#pragma once

#include <string>

#include "platform/MessagePort.h"

namespace varlin::win32 {

class Win32MessagePort : public MessagePort {
public:
    explicit Win32MessagePort(std::string applicationTitle) : applicationTitle(std::move(applicationTitle)) {}

    void ShowMessage(const std::string& text) override;
    MessageAnswer ShowSystemMessage(const std::string& text, const std::string& caption,
                                    SystemMessageStyle style) override;

private:
    std::string applicationTitle;
};

}  // namespace varlin::win32
