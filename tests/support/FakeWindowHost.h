// A window host for tests: it keeps the state every window and control
// would show, logs what the program did to its windows, and plays the user:
// each modal run takes its actions from a script kept per dialog template.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/WindowHost.h"

namespace varlin::test {

using UserAction = std::function<void(DialogHandler& dialog)>;

// The user clicks control `id` (kResultOk / kResultCancel: Enter / Escape).
UserAction Click(int id);

struct WindowState {
    bool exists = false;
    bool visible = false;
    bool minimised = false;
    bool running = false;  // inside its modal run
    bool ended = false;
    int result = 0;
    int runs = 0;
    std::string caption;
    int icon = 0;
    int menuItemsRemoved = 0;
    std::vector<std::pair<int, std::string>> menuItemsAdded;
    WindowPlacement placement;
    bool placed = false;
    std::string property;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> textHistory;  // every text a control was given
    std::map<int, bool> disabled;
    std::map<int, bool> hidden;
    std::map<int, bool> checked;
    std::map<int, uint32_t> progressUpper;
    std::map<int, std::vector<uint32_t>> progressPositions;
    int focus = 0;
    Frame lastFrame;
    std::vector<uint8_t> lastFramePixels;
};

class FakeWindowHost : public WindowHost {
public:
    // Queues the user's actions for the next modal runs of a template.
    void Script(int templateId, std::vector<UserAction> actions);

    WindowState& State(const DialogHandler& dialog) { return windows[&dialog]; }
    bool Visible(const DialogHandler& dialog) { return State(dialog).visible; }
    const std::string& Text(const DialogHandler& dialog, int id) { return State(dialog).texts[id]; }

    int RunModal(DialogHandler& dialog) override;
    bool CreateModeless(DialogHandler& dialog) override;
    void EndDialog(DialogHandler& dialog, int result) override;
    bool IsWindow(const DialogHandler& dialog) const override;
    void ShowWindow(DialogHandler& dialog, ShowCommand command) override;
    void PlaceWindow(DialogHandler& dialog, const WindowPlacement& placement) override;
    void RedrawNow(DialogHandler& dialog) override;
    void SetMainWindow(DialogHandler& dialog) override;
    void SetCaption(DialogHandler& dialog, const std::string& caption) override;
    void SetIcon(DialogHandler& dialog, int iconId) override;
    void RemoveSystemMenuItem(DialogHandler& dialog, int position) override;
    void AppendSystemMenuItem(DialogHandler& dialog, int command, const std::string& text) override;
    std::string LoadStringResource(int id) override;
    void SetItemText(DialogHandler& dialog, int id, const std::string& text) override;
    std::string ItemText(DialogHandler& dialog, int id) override;
    void EnableItem(DialogHandler& dialog, int id, bool enable) override;
    void ShowItem(DialogHandler& dialog, int id, bool show) override;
    void FocusItem(DialogHandler& dialog, int id) override;
    void SetChecked(DialogHandler& dialog, int id, bool checked) override;
    bool IsChecked(DialogHandler& dialog, int id) override;
    void SetProgressRange(DialogHandler& dialog, int id, uint32_t upper) override;
    void SetProgressPosition(DialogHandler& dialog, int id, uint32_t position) override;
    void PresentFrame(DialogHandler& dialog, const Frame& frame) override;
    void SetWaitCursor(bool waiting) override;
    void MarkWindow(DialogHandler& dialog, const std::string& property) override;
    void ActivateMarkedWindow(const std::string& property) override;

    std::vector<std::string> log;  // "run 155", "end 155 1", "show 132 minimised", ...
    const DialogHandler* mainWindow = nullptr;
    bool waitCursor = false;
    std::vector<bool> waitCursorChanges;  // every change of the cursor, in order
    std::map<int, std::string> strings = {{101, "&About VARLIN..."}};

private:
    void Log(const DialogHandler& dialog, const std::string& what);

    std::map<const DialogHandler*, WindowState> windows;
    std::map<int, std::deque<UserAction>> scripts;
};

}  // namespace varlin::test
