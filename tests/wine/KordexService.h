// The driver service "Kordex" in the test prefix's real service manager:
// whether it exists, and made or deleted the way the tests need it.
#pragma once

#include <windows.h>

namespace varlin::wine {

inline constexpr char kServiceName[] = "Kordex";

inline bool ServiceExists(SC_HANDLE manager)
{
    SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_QUERY_STATUS);
    if (service == nullptr) return false;
    CloseServiceHandle(service);
    return true;
}

inline void DeleteTheService(SC_HANDLE manager)
{
    SC_HANDLE service = OpenServiceA(manager, kServiceName, DELETE);
    if (service == nullptr) return;
    DeleteService(service);
    CloseServiceHandle(service);
}

// As the program leaves it where the driver cannot start: installed, stopped.
inline bool InstallStoppedService(SC_HANDLE manager)
{
    SC_HANDLE service =
        CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "C:\\windows\\system32\\drivers\\kordex.sys",
                       nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service == nullptr) return GetLastError() == ERROR_SERVICE_EXISTS;
    CloseServiceHandle(service);
    return true;
}

}  // namespace varlin::wine
