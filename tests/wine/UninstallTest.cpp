// The uninstall library as the product's removal program uses it: loaded by
// name, its exports looked up undecorated, against the real service manager.
//
//   uninstall_wine_test [LIBRARY [--windows-98]]
//
// With --windows-98 the test runs as a program the system reports Windows 98
// to: the library must then leave the service alone.
#include <windows.h>

#include <cstdio>

#include "tests/wine/KordexService.h"
#include "tests/wine/WineCheck.h"

namespace {

using UninstFunction = LONG(WINAPI*)(HWND, HINSTANCE, LONG);

}  // namespace

int main(int argc, char** argv)
{
    using namespace varlin::wine;
    const char* library = argc > 1 ? argv[1] : "uninstall.dll";
    const bool windows98 = argc > 2 && lstrcmpA(argv[2], "--windows-98") == 0;
    if (windows98) WINE_EXPECT((GetVersion() & 0x80000000) != 0, "the system says Windows 9x (%08lx)", GetVersion());
    HMODULE module = LoadLibraryA(library);
    WINE_EXPECT(module != nullptr, "cannot load %s (%lu)", library, GetLastError());
    if (module == nullptr) return 1;
    auto initialize =
        reinterpret_cast<UninstFunction>(reinterpret_cast<void*>(GetProcAddress(module, "UninstInitialize")));
    auto uninitialize =
        reinterpret_cast<UninstFunction>(reinterpret_cast<void*>(GetProcAddress(module, "UninstUnInitialize")));
    WINE_EXPECT(initialize != nullptr && uninitialize != nullptr, "both exports by their plain names");
    if (initialize == nullptr || uninitialize == nullptr) return 1;

    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    WINE_EXPECT(manager != nullptr, "the service manager opens (%lu)", GetLastError());
    if (manager == nullptr) return 1;

    // Installed and stopped: removed at once; on Windows 98, where there is
    // no such service, left alone.
    WINE_EXPECT(InstallStoppedService(manager), "the service can be created (%lu)", GetLastError());
    WINE_EXPECT(ServiceExists(manager), "the service exists before");
    WINE_EXPECT(initialize(nullptr, nullptr, 0) == 0, "UninstInitialize returns 0");
    if (windows98) {
        WINE_EXPECT(ServiceExists(manager), "on Windows 98 the service is not touched");
        DeleteTheService(manager);
    }
    WINE_EXPECT(!ServiceExists(manager), "the service is gone");

    // Not installed at all: nothing happens, still 0.
    WINE_EXPECT(initialize(nullptr, nullptr, 0) == 0, "UninstInitialize returns 0 without a service");
    WINE_EXPECT(!ServiceExists(manager), "still no service");

    WINE_EXPECT(uninitialize(nullptr, nullptr, 0) == 0, "UninstUnInitialize returns 0");
    CloseServiceHandle(manager);
    FreeLibrary(module);
    std::printf("uninstall: %d failure(s)\n", varlin::wine::failures);
    return varlin::wine::failures;
}
