#include "hosts/win32/Win32MessagePort.h"

#include <windows.h>

namespace varlin::win32 {

// The framework's box carries the exclamation icon an OK-only box gets by
// default, and is modal to the window the user is working in.
void Win32MessagePort::ShowMessage(const std::string& text)
{
    MessageBoxA(GetActiveWindow(), text.c_str(), applicationTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

MessageAnswer Win32MessagePort::ShowSystemMessage(const std::string& text, const std::string& caption,
                                                  SystemMessageStyle style)
{
    UINT type = style.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    if (style.topmost) type |= MB_TOPMOST;
    const int answer = MessageBoxA(nullptr, text.c_str(), caption.c_str(), type);
    if (style.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace varlin::win32
