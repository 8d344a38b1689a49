// A file dialog answered from the test's script.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogPort.h"

namespace varlin::test {

class FakeFileDialog : public FileDialogPort {
public:
    DialogResult AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath) override
    {
        asked.push_back(options);
        if (!answer) return DialogResult::Cancel;
        chosenPath = *answer;
        return DialogResult::Ok;
    }

    DialogResult AskOpenFileName(const OpenFileDialogOptions& options, std::string& chosenPath) override
    {
        askedOpen.push_back(options);
        if (!answer) return DialogResult::Cancel;
        chosenPath = *answer;
        return DialogResult::Ok;
    }

    std::optional<std::string> answer;  // unset: the user cancels
    std::vector<SaveFileDialogOptions> asked;
    std::vector<OpenFileDialogOptions> askedOpen;
};

}  // namespace varlin::test
