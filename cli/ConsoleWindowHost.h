// The tool has no windows: a host whose dialogs never open.  The commands
// run the program's operations directly and report on the terminal.
#pragma once

#include "platform/WindowHost.h"

namespace varlin::cli {

class ConsoleWindowHost : public WindowHost {
public:
    int RunModal(DialogHandler&) override { return kResultCancel; }
    bool CreateModeless(DialogHandler&) override { return false; }
    void EndDialog(DialogHandler&, int) override {}
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
    void SetItemText(DialogHandler&, int, const std::string&) override {}
    std::string ItemText(DialogHandler&, int) override { return {}; }
    void EnableItem(DialogHandler&, int, bool) override {}
    void ShowItem(DialogHandler&, int, bool) override {}
    void FocusItem(DialogHandler&, int) override {}
    void SetChecked(DialogHandler&, int, bool) override {}
    bool IsChecked(DialogHandler&, int) override { return false; }
    void SetProgressRange(DialogHandler&, int, uint32_t) override {}
    void SetProgressPosition(DialogHandler&, int, uint32_t) override {}
    void PresentFrame(DialogHandler&, const Frame&) override {}
    void SetWaitCursor(bool) override {}
    void MarkWindow(DialogHandler&, const std::string&) override {}
    void ActivateMarkedWindow(const std::string&) override {}
};

}  // namespace varlin::cli
