// The port to the windowing system: the program's dialogs are plain objects
// whose handlers hold all the logic; a window host builds their windows from
// dialog templates, routes the user's actions into the handlers and carries
// out what the handlers ask of the windows.  The Windows program's host
// draws real dialogs, the tests' host records everything and plays a script
// of user actions.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

// The results a modal run ends with, and the commands Enter and Escape send.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

// The system-menu command of the "&About VARLIN..." item.
inline constexpr int kAboutCommand = 16;

enum class ShowCommand { Hide, Show, ShowNormal, ShowMinimized, Restore };

// What the host calls on a dialog object.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;

    // The dialog template (resource number) the window is built from.
    virtual int TemplateId() const = 0;

    // The window has been created; the controls exist.
    virtual void OnInitDialog() = 0;
    // A button or other control `id` was used.  Enter sends kResultOk,
    // Escape and the close box send kResultCancel.
    virtual void OnCommand(int id) = 0;
    // A system-menu command; false lets the host do its default handling.
    virtual bool OnSysCommand(int command) = 0;
    // The window needs painting; false lets the host paint as it does by default.
    virtual bool OnPaint() = 0;
};

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = -1;  // -1 keeps the window's size
    int height = -1;
    bool topmost = false;
    bool show = true;           // false hides the window
    bool keepPosition = false;  // the window stays where it is; x and y are not used
    // The outer size becomes the client area's width by its height plus a
    // caption button's height; width and height are not used.
    bool fitToClient = false;
};

// A picture the host shows in a window's client area, 8-bit RGB, top row first.
struct Frame {
    int width = 0;
    int height = 0;
    const uint8_t* rgb = nullptr;
};

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Windows of dialogs.
    virtual int RunModal(DialogHandler& dialog) = 0;                // returns the result the run ended with
    virtual bool CreateModeless(DialogHandler& dialog) = 0;         // created hidden
    virtual void EndDialog(DialogHandler& dialog, int result) = 0;  // ends a modal run; hides a modeless window
    virtual bool IsWindow(const DialogHandler& dialog) const = 0;
    virtual void ShowWindow(DialogHandler& dialog, ShowCommand command) = 0;
    virtual void PlaceWindow(DialogHandler& dialog, const WindowPlacement& placement) = 0;
    virtual void RedrawNow(DialogHandler& dialog) = 0;
    virtual void SetMainWindow(DialogHandler& dialog) = 0;

    // Caption, icon and system menu.
    virtual void SetCaption(DialogHandler& dialog, const std::string& caption) = 0;
    virtual void SetIcon(DialogHandler& dialog, int iconId) = 0;
    virtual void RemoveSystemMenuItem(DialogHandler& dialog, int position) = 0;
    // A separator, then the item.
    virtual void AppendSystemMenuItem(DialogHandler& dialog, int command, const std::string& text) = 0;
    virtual std::string LoadStringResource(int id) = 0;

    // Controls, by id.
    virtual void SetItemText(DialogHandler& dialog, int id, const std::string& text) = 0;
    virtual std::string ItemText(DialogHandler& dialog, int id) = 0;
    virtual void EnableItem(DialogHandler& dialog, int id, bool enable) = 0;
    virtual void ShowItem(DialogHandler& dialog, int id, bool show) = 0;
    virtual void FocusItem(DialogHandler& dialog, int id) = 0;
    virtual void SetChecked(DialogHandler& dialog, int id, bool checked) = 0;
    virtual bool IsChecked(DialogHandler& dialog, int id) = 0;
    virtual void SetProgressRange(DialogHandler& dialog, int id, uint32_t upper) = 0;
    virtual void SetProgressPosition(DialogHandler& dialog, int id, uint32_t position) = 0;

    // The client area shows this picture (a composed preview) from its
    // top-left corner, and black where it is larger than the picture.
    virtual void PresentFrame(DialogHandler& dialog, const Frame& frame) = 0;

    // The wait cursor while long work runs on the user-interface thread.
    virtual void SetWaitCursor(bool waiting) = 0;

    // One running instance: the first marks its main window with a
    // property named after the program; a second brings that window forward.
    // The mark goes on the dialog's window as soon as it exists, and moves
    // with SetMainWindow to each new main window.
    virtual void MarkWindow(DialogHandler& dialog, const std::string& property) = 0;
    virtual void ActivateMarkedWindow(const std::string& property) = 0;
};

}  // namespace varlin
