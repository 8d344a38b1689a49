// The port to the platform's file dialogs.
#pragma once

#include <string>

namespace varlin {

enum class DialogResult { Ok, Cancel };

struct SaveFileDialogOptions {
    std::string defaultExtension;   // added when the typed name has none
    std::string initialFileName;
    std::string filter;             // "Description|pattern|...||"
    bool hideReadOnly = true;
    bool confirmOverwrite = true;   // ask before an existing file is replaced
};

class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;

    // A Save-As dialog; on Ok `chosenPath` holds the full path chosen.
    virtual DialogResult AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath) = 0;
};

}  // namespace varlin
