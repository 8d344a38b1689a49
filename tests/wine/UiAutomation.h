// A small UI automation of our own for the Windows program under wine: it
// starts the program, finds its windows by caption and their controls by
// id, clicks buttons, reads texts and saves screenshots.  Every wait is
// bounded: a window that does not come is a failure, not a hang.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace varlin::wine {

// How long a window may take to appear or go, and a process to end.
inline constexpr DWORD kWaitMilliseconds = 30000;

// A Unix path as the Windows side names it (on wine's Z: drive).
std::string WindowsPath(const std::string& path);

class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();  // a program still running at the end of a test is ended
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Start(const std::string& commandLine, const std::string& directory);
    // True when the process ended within the wait; `exitCode` is its status.
    bool WaitForExit(DWORD& exitCode, DWORD milliseconds = kWaitMilliseconds);
    DWORD Id() const { return information.dwProcessId; }

private:
    PROCESS_INFORMATION information = {};
};

// A visible top-level window of the process with exactly this caption, now;
// nullptr when there is none.
HWND FindWindowOf(DWORD processId, const std::string& caption);
// The same, waited for; nullptr (and a line saying so) when none came
// within the wait.
HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds = kWaitMilliseconds);
// True when the window was destroyed or hidden within the wait.
bool WaitForWindowGone(HWND window, DWORD milliseconds = kWaitMilliseconds);
// True as soon as the condition holds, false when it did not within the wait.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = kWaitMilliseconds);

std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int id);
// The texts of the window's static controls, in child order.
std::vector<std::string> StaticTexts(HWND dialog);
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
// A check box or radio button that is checked.
bool ItemChecked(HWND dialog, int id);

// Clicks a button (posted, so that a handler that runs a dialog of its own
// does not hold the test up).
bool Click(HWND dialog, int id);
// The close box.
void Close(HWND window);
// Types a text into a control.
bool TypeText(HWND control, const std::string& text);

// Waits a moment for the window to paint, then has the screen area of the
// window (with a margin) saved as PATH.png.  The picture is taken on the
// display's side, where every process's windows are composed: the request
// PATH.request holds the area as WIDTHxHEIGHT+X+Y, and the test's runner
// removes it once the picture is saved.  False when no runner took it.
bool SaveScreenshot(HWND window, const std::string& path);

}  // namespace varlin::wine
