// uninstall.dll: removes the Kordex driver service when the product is
// removed.  The product's removal program loads the library and calls
// UninstInitialize, later UninstUnInitialize; both always report 0, so the
// removal never stops on our account.
#include <windows.h>

namespace {

constexpr char kServiceName[] = "Kordex";
constexpr char kVersionFailure[] = "unable to get version info";
constexpr char kCaption[] = "YTA Helmsway 2.0 Uninstaller";

// A service that takes longer than this to stop is deleted anyway; it goes
// when it has stopped.
constexpr DWORD kStopWaitMilliseconds = 30000;
constexpr DWORD kStopPollMilliseconds = 100;

void WaitWhileStopPending(SC_HANDLE service)
{
    SERVICE_STATUS status = {};
    for (DWORD waited = 0; waited < kStopWaitMilliseconds; waited += kStopPollMilliseconds) {
        if (!QueryServiceStatus(service, &status) || status.dwCurrentState != SERVICE_STOP_PENDING) return;
        Sleep(kStopPollMilliseconds);
    }
}

void RemoveDriverService()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager == nullptr) return;
    SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
    if (service == nullptr) {
        CloseServiceHandle(manager);
        return;
    }
    SERVICE_STATUS status = {};
    if (ControlService(service, SERVICE_CONTROL_STOP, &status)) WaitWhileStopPending(service);
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

__declspec(dllexport) LONG WINAPI UninstInitialize(HWND owner, HINSTANCE, LONG)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (!known) {
        // Without the version the platform is unknown: better leave a
        // service behind than touch a system we cannot name.
        MessageBoxA(owner, kVersionFailure, kCaption, 0);
        return 0;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) RemoveDriverService();
    return 0;
}

__declspec(dllexport) LONG WINAPI UninstUnInitialize(HWND, HINSTANCE, LONG) { return 0; }

}  // extern "C"
