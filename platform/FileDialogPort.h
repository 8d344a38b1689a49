// The port to the platform's file dialogs.
#pragma once

#include <string>

namespace varlin {

enum class DialogResult { Ok, Cancel };

struct SaveFileDialogOptions {
    std::string defaultExtension;  // added when the typed name has none
    std::string initialFileName;
    std::string filter;  // "Description|pattern|...||"
    bool hideReadOnly = true;
    bool confirmOverwrite = true;  // ask before an existing file is replaced
};

struct OpenFileDialogOptions {
    std::string defaultExtension;
    std::string filter;            // "Description|pattern|...||"
    std::string initialDirectory;  // empty: the system's choice
    bool hideReadOnly = true;
    bool pathMustExist = false;
    bool allowMultiSelect = false;  // the first name chosen is the one taken
};

class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;

    // A Save-As dialog; on Ok `chosenPath` holds the full path chosen.
    virtual DialogResult AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath) = 0;

    // An Open dialog; on Ok `chosenPath` holds the text the dialog returned.
    virtual DialogResult AskOpenFileName(const OpenFileDialogOptions& options, std::string& chosenPath) = 0;
};

}  // namespace varlin
