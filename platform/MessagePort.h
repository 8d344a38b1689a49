// The user-facing port: the two kinds of message box the program shows.
//
// The framework box carries the application's title as caption and an OK
// button; it is how most refusals reach the user.  The system box has a
// caption of its own ("Error", "Open File", "Erase Error Message") and either
// an OK button or Yes and No, and reports which button was pressed.
#pragma once

#include <string>

namespace varlin {

enum class MessageButtons { Ok, YesNo };

enum class MessageAnswer { Ok, Yes, No };

struct SystemMessageStyle {
    MessageButtons buttons = MessageButtons::Ok;
    bool topmost = false;  // the driver service messages stay above every window
};

class MessagePort {
public:
    virtual ~MessagePort() = default;

    // Modal box with the application's title as caption and an OK button.
    virtual void ShowMessage(const std::string& text) = 0;

    // Modal box without owner window, with its own caption and buttons.
    virtual MessageAnswer ShowSystemMessage(const std::string& text, const std::string& caption,
                                            SystemMessageStyle style) = 0;
};

}  // namespace varlin
