#include "tests/wine/UiAutomation.h"

#include <algorithm>
#include <cstdio>

namespace varlin::wine {

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kPaintMilliseconds = 800;
constexpr long kScreenshotMargin = 8;
constexpr DWORD kScreenshotMilliseconds = 10000;

struct Search {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (TextOf(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter)
{
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        const std::string text = TextOf(child);
        if (!text.empty()) reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(text);
    }
    return TRUE;
}

}  // namespace

std::string WindowsPath(const std::string& path)
{
    std::string converted = path;
    for (char& c : converted) {
        if (c == '/') c = '\\';
    }
    return !path.empty() && path[0] == '/' ? "Z:" + converted : converted;
}

ProgramRun::~ProgramRun()
{
    if (information.hProcess == nullptr) return;
    if (WaitForSingleObject(information.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(information.hProcess, 99);
        WaitForSingleObject(information.hProcess, kWaitMilliseconds);
    }
    CloseHandle(information.hThread);
    CloseHandle(information.hProcess);
}

bool ProgramRun::Start(const std::string& commandLine, const std::string& directory)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                          &information) != 0;
}

bool ProgramRun::WaitForExit(DWORD& exitCode, DWORD milliseconds)
{
    if (WaitForSingleObject(information.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(information.hProcess, &exitCode) != 0;
}

HWND FindWindowOf(DWORD processId, const std::string& caption)
{
    Search search = {processId, &caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds)
{
    for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
        if (HWND found = FindWindowOf(processId, caption)) return found;
        Sleep(kPollMilliseconds);
    }
    std::printf("no window \"%s\" within %lu ms\n", caption.c_str(), milliseconds);
    return nullptr;
}

bool WaitForWindowGone(HWND window, DWORD milliseconds)
{
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, milliseconds);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
        if (condition()) return true;
        Sleep(kPollMilliseconds);
    }
    return false;
}

std::string TextOf(HWND window)
{
    char text[1024] = {};
    const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item == nullptr ? "<no control " + std::to_string(id) + ">" : TextOf(item);
}

std::vector<std::string> StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool ItemVisible(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ItemEnabled(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && IsWindowEnabled(item);
}

bool ItemChecked(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Click(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && PostMessageA(item, BM_CLICK, 0, 0) != 0;
}

void Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

bool TypeText(HWND control, const std::string& text)
{
    return control != nullptr && SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

bool SaveScreenshot(HWND window, const std::string& path)
{
    Sleep(kPaintMilliseconds);
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    const std::string request = path + ".request";
    std::FILE* out = std::fopen(request.c_str(), "w");
    if (out == nullptr) return false;
    std::fprintf(out, "%ldx%ld+%ld+%ld\n", frame.right - frame.left + 2 * kScreenshotMargin,
                 frame.bottom - frame.top + 2 * kScreenshotMargin, std::max(0L, frame.left - kScreenshotMargin),
                 std::max(0L, frame.top - kScreenshotMargin));
    std::fclose(out);
    for (DWORD waited = 0; waited <= kScreenshotMilliseconds; waited += kPollMilliseconds) {
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
        Sleep(kPollMilliseconds);
    }
    DeleteFileA(request.c_str());
    return false;
}

}  // namespace varlin::wine
