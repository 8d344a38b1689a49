// The system's Open and Save As dialogs (comdlg32), owned by the window the
// user is working in.
#pragma once

#include "platform/FileDialogPort.h"

namespace varlin::win32 {

// "Description|pattern|...||" as the dialogs take it: each "|" becomes a
// NUL, and the list ends in two NULs.
std::string FilterForDialog(const std::string& filter);

class Win32FileDialogs : public FileDialogPort {
public:
    DialogResult AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath) override;
    DialogResult AskOpenFileName(const OpenFileDialogOptions& options, std::string& chosenPath) override;
};

}  // namespace varlin::win32
