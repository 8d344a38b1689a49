// The Windows program's window host on real windows, in this process: a
// modal dialog from its template with texts, buttons, the bar and the
// system menu as the handlers set them, and the close box as its cancel; a
// modeless window that presents a frame and stays when hidden; the
// instance mark and the search that finds it.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "hosts/win32/Win32WindowHost.h"
#include "resources/ResourceIds.h"
#include "tests/wine/WineCheck.h"

namespace {

using varlin::DialogHandler;
using varlin::win32::Win32WindowHost;

constexpr int kEndedByClose = 7;

class TestDialog : public DialogHandler {
public:
    TestDialog(Win32WindowHost& host, int templateId) : host(host), templateId(templateId) {}
    int TemplateId() const override { return templateId; }
    void OnInitDialog() override
    {
        if (onInit) onInit(*this);
    }
    // The cancel command (Escape, the close box) ends a run.
    void OnCommand(int id) override
    {
        commands.push_back(id);
        if (id == IDCANCEL) host.EndDialog(*this, kEndedByClose);
    }
    bool OnSysCommand(int command) override
    {
        sysCommands.push_back(command);
        return command == varlin::kAboutCommand;
    }
    bool OnPaint() override { return false; }

    Win32WindowHost& host;
    int templateId;
    std::function<void(TestDialog&)> onInit;
    std::vector<int> commands;
    std::vector<int> sysCommands;
};

void PumpMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
}

bool HasVisibleStyle(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string LastMenuText(HMENU menu)
{
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), text, sizeof text, MF_BYPOSITION);
    return text;
}

void ControlsOfAModalDialog(Win32WindowHost& host)
{
    TestDialog dialog(host, IDD_BACKUP_BIOS);
    dialog.onInit = [&host](TestDialog& self) {
        HWND window = host.WindowOf(self);
        WINE_EXPECT(window != nullptr && host.IsWindow(self), "the window exists when the dialog starts");
        host.SetItemText(self, IDC_STEP_TEXT, "Reading");
        WINE_EXPECT(host.ItemText(self, IDC_STEP_TEXT) == "Reading", "item text");
        WINE_EXPECT(host.ItemText(self, IDC_BACKUP_PERCENT) == "  0", "the template's text");
        host.EnableItem(self, IDC_BACKUP_START, false);
        WINE_EXPECT(!IsWindowEnabled(GetDlgItem(window, IDC_BACKUP_START)), "a disabled button");
        // The dialog itself is not on the screen yet: the controls' own style tells.
        WINE_EXPECT(!HasVisibleStyle(GetDlgItem(window, IDC_BACKUP_PROGRESS)), "the bar starts hidden");
        host.ShowItem(self, IDC_BACKUP_PROGRESS, true);
        WINE_EXPECT(HasVisibleStyle(GetDlgItem(window, IDC_BACKUP_PROGRESS)), "a shown bar");
        host.SetProgressRange(self, IDC_BACKUP_PROGRESS, 128);
        host.SetProgressPosition(self, IDC_BACKUP_PROGRESS, 64);
        HWND bar = GetDlgItem(window, IDC_BACKUP_PROGRESS);
        WINE_EXPECT(SendMessageA(bar, PBM_GETRANGE, FALSE, 0) == 128, "the bar's range");
        WINE_EXPECT(SendMessageA(bar, PBM_GETPOS, 0, 0) == 64, "the bar's position");

        HMENU menu = GetSystemMenu(window, FALSE);
        const int items = GetMenuItemCount(menu);
        for (int position = 0; position < 3; ++position) host.RemoveSystemMenuItem(self, position);
        host.AppendSystemMenuItem(self, varlin::kAboutCommand, host.LoadStringResource(IDS_ABOUT_ITEM));
        WINE_EXPECT(GetMenuItemCount(menu) == items - 3 + 2, "three items go, a separator and the item come");
        WINE_EXPECT(LastMenuText(menu) == "&About VARLIN...", "the About item: %s", LastMenuText(menu).c_str());
        host.SetIcon(self, IDI_PROGRAM);
        WINE_EXPECT(SendMessageA(window, WM_GETICON, ICON_BIG, 0) != 0, "the icon is set");

        PostMessageA(window, WM_SYSCOMMAND, varlin::kAboutCommand, 0);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BACKUP_START, BN_CLICKED), 0);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_STEP_TEXT, EN_CHANGE), 0);  // no use of a control
        PostMessageA(window, WM_CLOSE, 0, 0);
    };
    WINE_EXPECT(host.RunModal(dialog) == kEndedByClose, "the run ends with the handler's result");
    WINE_EXPECT((dialog.commands == std::vector<int>{IDC_BACKUP_START, IDCANCEL}), "button, then close as cancel");
    WINE_EXPECT(!dialog.sysCommands.empty() && dialog.sysCommands.front() == varlin::kAboutCommand,
                "the About command reaches the handler");
    WINE_EXPECT(!host.IsWindow(dialog), "the window is gone after the run");
}

// A frame of two colours: the left half red, the right half blue.
std::vector<uint8_t> TwoColourFrame(int width, int height)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            pixel[x < width / 2 ? 0 : 2] = 255;
        }
    }
    return rgb;
}

void AModelessWindowPresentsAFrameAndCarriesTheMark(Win32WindowHost& host)
{
    TestDialog preview(host, IDD_PREVIEW);
    WINE_EXPECT(host.CreateModeless(preview), "the modeless window is made");
    HWND window = host.WindowOf(preview);
    WINE_EXPECT(window != nullptr && !IsWindowVisible(window), "created hidden");
    host.PlaceWindow(preview, {0, 0, 646, 506, false, true});
    WINE_EXPECT(IsWindowVisible(window), "placed and shown");

    const std::vector<uint8_t> rgb = TwoColourFrame(640, 480);
    host.PresentFrame(preview, {640, 480, rgb.data()});
    PumpMessages(500);
    HDC dc = GetDC(window);
    const COLORREF left = GetPixel(dc, 10, 10);
    const COLORREF right = GetPixel(dc, 600, 400);
    // The window's frame leaves a client area a little larger than the
    // picture: the rest is black, like the screen the picture shows.
    RECT client = {};
    GetClientRect(window, &client);
    const COLORREF below = GetPixel(dc, 10, client.bottom - 1);
    const COLORREF beside = GetPixel(dc, client.right - 1, 10);
    ReleaseDC(window, dc);
    WINE_EXPECT(left == RGB(255, 0, 0), "the frame's left half (%06lx)", static_cast<unsigned long>(left));
    WINE_EXPECT(right == RGB(0, 0, 255), "the frame's right half (%06lx)", static_cast<unsigned long>(right));
    WINE_EXPECT(client.bottom <= 480 || below == RGB(0, 0, 0), "black below the frame (%06lx, client %ldx%ld)",
                static_cast<unsigned long>(below), client.right, client.bottom);
    WINE_EXPECT(client.right <= 640 || beside == RGB(0, 0, 0), "black beside the frame (%06lx)",
                static_cast<unsigned long>(beside));

    host.MarkWindow(preview, "varlin-host-test");
    WINE_EXPECT(GetPropA(window, "varlin-host-test") != nullptr, "the mark is on the window");
    ShowWindow(window, SW_MINIMIZE);
    host.ActivateMarkedWindow("varlin-host-test");
    WINE_EXPECT(!IsIconic(window), "the marked window is found and restored");

    host.EndDialog(preview, IDCANCEL);
    WINE_EXPECT(host.IsWindow(preview) && !IsWindowVisible(window), "ending a modeless window only hides it");
    DestroyWindow(window);
}

}  // namespace

int main()
{
    Win32WindowHost host(GetModuleHandleA(nullptr));
    ControlsOfAModalDialog(host);
    AModelessWindowPresentsAFrameAndCarriesTheMark(host);
    std::printf("window host: %d failure(s)\n", varlin::wine::failures);
    return varlin::wine::failures;
}
