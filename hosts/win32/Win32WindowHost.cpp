#include "hosts/win32/Win32WindowHost.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace varlin::win32 {

namespace {

// The property value only has to be non-zero.
HANDLE const kMarkValue = reinterpret_cast<HANDLE>(static_cast<intptr_t>(1));

// Notifications that count as a use of a control: a button click (or a menu
// item), and an accelerator key.
bool IsUse(WPARAM wParam, LPARAM lParam)
{
    const WORD code = HIWORD(wParam);
    return code == BN_CLICKED || (code == 1 && lParam == 0);
}

int ShowCode(ShowCommand command)
{
    switch (command) {
    case ShowCommand::Hide:
        return SW_HIDE;
    case ShowCommand::ShowNormal:
        return SW_SHOWNORMAL;
    case ShowCommand::ShowMinimized:
        return SW_SHOWMINIMIZED;
    case ShowCommand::Restore:
        return SW_RESTORE;
    case ShowCommand::Show:
    default:
        return SW_SHOW;
    }
}

// Draws the icon in the middle of a minimised window's client area.
void PaintIconCentred(HWND handle, HICON icon)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle, &paint);
    SendMessageA(handle, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(handle, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(handle, &paint);
}

// Centres a dialog on its owner, or on the screen's work area when it has
// none (or a hidden one), keeping it on the screen.
void Centre(HWND handle)
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    HWND owner = GetWindow(handle, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    RECT window;
    GetWindowRect(handle, &window);
    const long width = window.right - window.left;
    const long height = window.bottom - window.top;
    const long x = std::max(area.left, std::min((around.left + around.right - width) / 2, area.right - width));
    const long y = std::max(area.top, std::min((around.top + around.bottom - height) / 2, area.bottom - height));
    SetWindowPos(handle, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A top-down 24-bit bitmap holding the frame's pixels.
HBITMAP FrameBitmap(const Frame& frame)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const size_t stride = (static_cast<size_t>(frame.width) * 3 + 3) & ~size_t{3};
    auto* rows = static_cast<uint8_t*>(bits);
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* from = frame.rgb + static_cast<size_t>(y) * frame.width * 3;
        uint8_t* to = rows + y * stride;
        for (int x = 0; x < frame.width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return bitmap;
}

}  // namespace

Win32WindowHost::Win32WindowHost(HINSTANCE instance) : instance(instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Win32WindowHost::~Win32WindowHost()
{
    for (const std::unique_ptr<Window>& window : windows) {
        if (window->frame != nullptr) DeleteObject(window->frame);
    }
}

Win32WindowHost::Window* Win32WindowHost::Find(const DialogHandler& dialog) const
{
    for (const std::unique_ptr<Window>& window : windows) {
        if (window->handler == &dialog) return window.get();
    }
    return nullptr;
}

Win32WindowHost::Window& Win32WindowHost::Bind(DialogHandler& dialog)
{
    Window* found = Find(dialog);
    if (found == nullptr) found = windows.emplace_back(std::make_unique<Window>()).get();
    Window& window = *found;
    window.host = this;
    window.handler = &dialog;
    return window;
}

HWND Win32WindowHost::WindowOf(const DialogHandler& dialog) const
{
    Window* const found = Find(dialog);
    return found == nullptr ? nullptr : found->handle;
}

HWND Win32WindowHost::Item(DialogHandler& dialog, int id) const
{
    HWND handle = WindowOf(dialog);
    return handle == nullptr ? nullptr : GetDlgItem(handle, id);
}

// A dialog belongs to the main window while that is on the screen; the main
// window itself, and dialogs run while it is hidden, stand on their own.
HWND Win32WindowHost::OwnerFor(const DialogHandler& dialog) const
{
    if (mainWindow == nullptr || mainWindow == &dialog) return nullptr;
    HWND main = WindowOf(*mainWindow);
    return main != nullptr && IsWindowVisible(main) ? main : nullptr;
}

int Win32WindowHost::RunModal(DialogHandler& dialog)
{
    Window& window = Bind(dialog);
    window.modal = true;
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog.TemplateId()), OwnerFor(dialog),
                                           DialogProcedure, reinterpret_cast<LPARAM>(&window));
    window.modal = false;
    return static_cast<int>(result);
}

bool Win32WindowHost::CreateModeless(DialogHandler& dialog)
{
    Window& window = Bind(dialog);
    window.modal = false;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(dialog.TemplateId()), nullptr, DialogProcedure,
                              reinterpret_cast<LPARAM>(&window)) != nullptr;
}

void Win32WindowHost::EndDialog(DialogHandler& dialog, int result)
{
    Window* const found = Find(dialog);
    if (found == nullptr || found->handle == nullptr) return;
    if (found->modal) {
        ::EndDialog(found->handle, result);
    } else {
        ::ShowWindow(found->handle, SW_HIDE);
    }
}

bool Win32WindowHost::IsWindow(const DialogHandler& dialog) const
{
    HWND handle = WindowOf(dialog);
    return handle != nullptr && ::IsWindow(handle);
}

void Win32WindowHost::ShowWindow(DialogHandler& dialog, ShowCommand command)
{
    if (HWND handle = WindowOf(dialog)) ::ShowWindow(handle, ShowCode(command));
}

void Win32WindowHost::PlaceWindow(DialogHandler& dialog, const WindowPlacement& placement)
{
    HWND handle = WindowOf(dialog);
    if (handle == nullptr) return;
    UINT flags = placement.show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    int width = placement.width;
    int height = placement.height;
    if (placement.fitToClient) {
        RECT client = {};
        GetClientRect(handle, &client);
        width = client.right - client.left;
        height = client.bottom - client.top + GetSystemMetrics(SM_CYSIZE);
    }
    if (width < 0 || height < 0) flags |= SWP_NOSIZE;
    if (placement.keepPosition) flags |= SWP_NOMOVE;
    SetWindowPos(handle, placement.topmost ? HWND_TOPMOST : HWND_TOP, placement.x, placement.y, width, height, flags);
}

void Win32WindowHost::RedrawNow(DialogHandler& dialog)
{
    if (HWND handle = WindowOf(dialog)) {
        RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void Win32WindowHost::SetMainWindow(DialogHandler& dialog)
{
    mainWindow = &dialog;
    if (markedDialog != nullptr) {
        markedDialog = &dialog;
        ApplyMark();
    }
}

void Win32WindowHost::SetCaption(DialogHandler& dialog, const std::string& caption)
{
    if (HWND handle = WindowOf(dialog)) SetWindowTextA(handle, caption.c_str());
}

void Win32WindowHost::SetIcon(DialogHandler& dialog, int iconId)
{
    Window* const found = Find(dialog);
    if (found == nullptr || found->handle == nullptr) return;
    const auto load = [this, iconId](int width, int height) {
        return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, width, height, LR_SHARED));
    };
    HICON large = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    HICON small = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessageA(found->handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageA(found->handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    found->icon = large;
}

void Win32WindowHost::RemoveSystemMenuItem(DialogHandler& dialog, int position)
{
    HWND handle = WindowOf(dialog);
    HMENU menu = handle == nullptr ? nullptr : GetSystemMenu(handle, FALSE);
    if (menu != nullptr) RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
}

void Win32WindowHost::AppendSystemMenuItem(DialogHandler& dialog, int command, const std::string& text)
{
    HWND handle = WindowOf(dialog);
    HMENU menu = handle == nullptr ? nullptr : GetSystemMenu(handle, FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command), text.c_str());
}

std::string Win32WindowHost::LoadStringResource(int id)
{
    char text[512] = {};
    const int length = LoadStringA(instance, static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// Texts and the bar are painted at once: long work runs without a message
// loop, and the user must still see it move.
void Win32WindowHost::SetItemText(DialogHandler& dialog, int id, const std::string& text)
{
    if (HWND item = Item(dialog, id)) {
        SetWindowTextA(item, text.c_str());
        UpdateWindow(item);
    }
}

std::string Win32WindowHost::ItemText(DialogHandler& dialog, int id)
{
    HWND item = Item(dialog, id);
    if (item == nullptr) return {};
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    const int length = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

void Win32WindowHost::EnableItem(DialogHandler& dialog, int id, bool enable)
{
    if (HWND item = Item(dialog, id)) EnableWindow(item, enable ? TRUE : FALSE);
}

void Win32WindowHost::ShowItem(DialogHandler& dialog, int id, bool show)
{
    if (HWND item = Item(dialog, id)) ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

void Win32WindowHost::FocusItem(DialogHandler& dialog, int id)
{
    Window* const found = Find(dialog);
    HWND item = Item(dialog, id);
    if (item == nullptr) return;
    SendMessageA(found->handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    found->focusChosen = true;
}

void Win32WindowHost::SetChecked(DialogHandler& dialog, int id, bool checked)
{
    if (HWND handle = WindowOf(dialog)) CheckDlgButton(handle, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32WindowHost::IsChecked(DialogHandler& dialog, int id)
{
    HWND handle = WindowOf(dialog);
    return handle != nullptr && IsDlgButtonChecked(handle, id) == BST_CHECKED;
}

void Win32WindowHost::SetProgressRange(DialogHandler& dialog, int id, uint32_t upper)
{
    if (HWND item = Item(dialog, id)) {
        SendMessageA(item, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(upper)));
        UpdateWindow(item);
    }
}

void Win32WindowHost::SetProgressPosition(DialogHandler& dialog, int id, uint32_t position)
{
    if (HWND item = Item(dialog, id)) {
        SendMessageA(item, PBM_SETPOS, position, 0);
        UpdateWindow(item);
    }
}

void Win32WindowHost::PresentFrame(DialogHandler& dialog, const Frame& frame)
{
    Window* const found = Find(dialog);
    if (found == nullptr || found->handle == nullptr || frame.rgb == nullptr) return;
    Window& window = *found;
    if (window.frame != nullptr) DeleteObject(window.frame);
    window.frame = FrameBitmap(frame);
    window.frameWidth = frame.width;
    window.frameHeight = frame.height;
    // Within the dialog's own paint handler the frame is drawn when it
    // returns; otherwise the window is asked to paint.
    if (painting != window.handle) InvalidateRect(window.handle, nullptr, FALSE);
}

void Win32WindowHost::SetWaitCursor(bool wait)
{
    waiting = wait;
    SetCursor(LoadCursor(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowHost::MarkWindow(DialogHandler& dialog, const std::string& property)
{
    markProperty = property;
    markedDialog = &dialog;
    ApplyMark();
}

// The property sits on the marked dialog's window once that exists, and on
// no other window of ours.
void Win32WindowHost::ApplyMark()
{
    HWND target = markedDialog == nullptr ? nullptr : WindowOf(*markedDialog);
    if (target == markedWindow) return;
    if (markedWindow != nullptr) RemovePropA(markedWindow, markProperty.c_str());
    markedWindow = target;
    if (target != nullptr) SetPropA(target, markProperty.c_str(), kMarkValue);
}

// The first top-level window, in Z order, that carries the property is
// brought forward with whatever popup it had open.
void Win32WindowHost::ActivateMarkedWindow(const std::string& property)
{
    for (HWND candidate = GetWindow(GetDesktopWindow(), GW_CHILD); ::IsWindow(candidate);
         candidate = GetWindow(candidate, GW_HWNDNEXT)) {
        if (GetPropA(candidate, property.c_str()) == nullptr) continue;
        ::ShowWindow(candidate, SW_RESTORE);
        SetForegroundWindow(candidate);
        SetForegroundWindow(GetLastActivePopup(candidate));
        return;
    }
}

void Win32WindowHost::Forget(Window& window)
{
    if (window.handle == markedWindow && markedWindow != nullptr) {
        RemovePropA(markedWindow, markProperty.c_str());
        markedWindow = nullptr;
    }
    if (window.frame != nullptr) DeleteObject(window.frame);
    window.frame = nullptr;
    window.icon = nullptr;
    window.handle = nullptr;
}

bool Win32WindowHost::Paint(Window& window)
{
    HWND handle = window.handle;
    painting = handle;
    const bool handled = window.handler->OnPaint();
    painting = nullptr;
    if (IsIconic(handle)) {
        if (handled || window.icon == nullptr) return handled;
        PaintIconCentred(handle, window.icon);
        return true;
    }
    if (window.frame == nullptr && !handled) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle, &paint);
    if (window.frame != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, window.frame);
        BitBlt(dc, 0, 0, window.frameWidth, window.frameHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        // The window's frame may leave a client area a little larger than
        // the picture (it depends on the system's caption and border
        // sizes): the rest is black, like the screen the picture shows.
        RECT client;
        GetClientRect(handle, &client);
        ExcludeClipRect(dc, 0, 0, window.frameWidth, window.frameHeight);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(handle, &paint);
    return true;
}

INT_PTR CALLBACK Win32WindowHost::DialogProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Window*>(lParam);
        SetWindowLongPtrA(handle, DWLP_USER, lParam);
        window->handle = handle;
        window->focusChosen = false;
        return window->host->Dispatch(*window, message, wParam, lParam);
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(handle, DWLP_USER));
    if (window == nullptr || window->handle != handle) return FALSE;  // before WM_INITDIALOG, or after the end
    return window->host->Dispatch(*window, message, wParam, lParam);
}

INT_PTR Win32WindowHost::Dispatch(Window& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogHandler& handler = *window.handler;
    switch (message) {
    case WM_INITDIALOG: {
        if (markedDialog == window.handler) ApplyMark();
        RECT before;
        GetWindowRect(window.handle, &before);
        handler.OnInitDialog();
        // A dialog that did not place itself comes up in the middle, as the
        // platform's dialog class shows it.
        RECT after;
        if (::IsWindow(window.handle) && GetWindowRect(window.handle, &after) && EqualRect(&before, &after)) {
            Centre(window.handle);
        }
        return window.focusChosen ? FALSE : TRUE;
    }
    case WM_COMMAND:
        if (!IsUse(wParam, lParam)) return FALSE;
        handler.OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        handler.OnCommand(IDCANCEL);
        return TRUE;
    case WM_SYSCOMMAND:
        return handler.OnSysCommand(static_cast<int>(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
        return Paint(window) ? TRUE : FALSE;
    case WM_ERASEBKGND:
        // A presented frame covers the whole client area.
        if (window.frame == nullptr || IsIconic(window.handle)) return FALSE;
        SetWindowLongPtrA(window.handle, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_SETCURSOR:
        if (!waiting) return FALSE;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SetWindowLongPtrA(window.handle, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_NCDESTROY:
        Forget(window);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace varlin::win32
