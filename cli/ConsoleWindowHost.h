// The tool has no windows, but it runs the program's dialogs where a user
// would only watch them work: it plays the user of the Update BIOS dialog,
// pressing Update at once and mirroring the dialog's step text, bar and
// percentage onto the terminal's progress bar, and it takes the Finished
// dialog as the end of a completed update, without restarting anything.
// Every other dialog is cancelled as soon as it would open.
#pragma once

#include "cli/ConsoleProgress.h"
#include "platform/WindowHost.h"

namespace varlin::cli {

class ConsoleWindowHost : public WindowHost {
public:
    explicit ConsoleWindowHost(ConsoleProgressBar& bar) : bar(bar) {}

    int RunModal(DialogHandler& dialog) override;
    bool CreateModeless(DialogHandler&) override { return false; }
    void EndDialog(DialogHandler& dialog, int result) override;
    bool IsWindow(const DialogHandler&) const override { return false; }
    void ShowWindow(DialogHandler&, ShowCommand) override {}
    void PlaceWindow(DialogHandler&, const WindowPlacement&) override {}
    void RedrawNow(DialogHandler&) override {}
    void SetMainWindow(DialogHandler&) override {}
    void SetCaption(DialogHandler&, const std::string&) override {}
    void SetIcon(DialogHandler&, int) override {}
    void RemoveSystemMenuItem(DialogHandler&, int) override {}
    void AppendSystemMenuItem(DialogHandler&, int, const std::string&) override {}
    std::string LoadStringResource(int) override { return {}; }
    void SetItemText(DialogHandler& dialog, int id, const std::string& text) override;
    std::string ItemText(DialogHandler&, int) override { return {}; }
    void EnableItem(DialogHandler&, int, bool) override {}
    void ShowItem(DialogHandler&, int, bool) override {}
    void FocusItem(DialogHandler&, int) override {}
    void SetChecked(DialogHandler&, int, bool) override {}
    bool IsChecked(DialogHandler&, int) override { return false; }
    void SetProgressRange(DialogHandler& dialog, int id, uint32_t upper) override;
    void SetProgressPosition(DialogHandler& dialog, int id, uint32_t position) override;
    void PresentFrame(DialogHandler&, const Frame&) override {}
    void SetWaitCursor(bool) override {}
    void MarkWindow(DialogHandler&, const std::string&) override {}
    void ActivateMarkedWindow(const std::string&) override {}

private:
    int RunUpdateDialog(DialogHandler& dialog);

    ConsoleProgressBar& bar;
    const DialogHandler* ended = nullptr;
    int result = kResultCancel;
};

}  // namespace varlin::cli
