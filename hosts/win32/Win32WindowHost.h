// The window host of the Windows program: a thin dialog layer over user32.
// Each dialog object's window is built from its dialog-template resource
// (DialogBoxParamA for modal runs, CreateDialogParamA for modeless windows);
// one dialog procedure routes the window's messages into the object's
// handlers, and every request of the handlers is a plain user32 call.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/WindowHost.h"

namespace varlin::win32 {

class Win32WindowHost : public WindowHost {
public:
    explicit Win32WindowHost(HINSTANCE instance);
    ~Win32WindowHost() override;

    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

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

    // The window of a dialog; nullptr while it has none.
    HWND WindowOf(const DialogHandler& dialog) const;

private:
    // What the host keeps per dialog object; the dialog procedure finds it
    // through the window's user data.
    struct Window {
        Win32WindowHost* host = nullptr;
        DialogHandler* handler = nullptr;
        HWND handle = nullptr;
        bool modal = false;
        bool focusChosen = false;  // the dialog put the focus itself while starting
        HICON icon = nullptr;      // drawn while the window is minimised
        HBITMAP frame = nullptr;   // the picture presented as the client area
        int frameWidth = 0;
        int frameHeight = 0;
    };

    static INT_PTR CALLBACK DialogProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Paint(Window& window);
    void Forget(Window& window);

    Window* Find(const DialogHandler& dialog) const;
    Window& Bind(DialogHandler& dialog);
    HWND Item(DialogHandler& dialog, int id) const;
    HWND OwnerFor(const DialogHandler& dialog) const;
    void ApplyMark();

    HINSTANCE instance;
    std::vector<std::unique_ptr<Window>> windows;  // each stays where it is: the dialogs hold their Window
    const DialogHandler* mainWindow = nullptr;
    const DialogHandler* markedDialog = nullptr;  // the mark follows the main window
    std::string markProperty;
    HWND markedWindow = nullptr;
    HWND painting = nullptr;  // the window whose paint handler runs
    bool waiting = false;
};

}  // namespace varlin::win32
