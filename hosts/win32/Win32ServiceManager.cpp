#include "hosts/win32/Win32ServiceManager.h"

#include <windows.h>

namespace varlin::win32 {

namespace {

SC_HANDLE AsHandle(ServiceHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ServiceHandle FromHandle(SC_HANDLE handle) { return reinterpret_cast<ServiceHandle>(handle); }

}  // namespace

ServiceHandle Win32ServiceManager::OpenManager()
{
    return FromHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

ServiceHandle Win32ServiceManager::CreateDriverService(ServiceHandle manager, const std::string& name,
                                                       const std::string& displayName, const std::string& driverPath)
{
    return FromHandle(CreateServiceA(AsHandle(manager), name.c_str(), displayName.c_str(), SERVICE_ALL_ACCESS,
                                     SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                     driverPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

ServiceHandle Win32ServiceManager::OpenExistingService(ServiceHandle manager, const std::string& name)
{
    return FromHandle(OpenServiceA(AsHandle(manager), name.c_str(), SERVICE_ALL_ACCESS));
}

bool Win32ServiceManager::StartExistingService(ServiceHandle service)
{
    return StartServiceA(AsHandle(service), 0, nullptr) != 0;
}

bool Win32ServiceManager::StopService(ServiceHandle service, ServiceState& state)
{
    SERVICE_STATUS status = {};
    if (!ControlService(AsHandle(service), SERVICE_CONTROL_STOP, &status)) return false;
    state = static_cast<ServiceState>(status.dwCurrentState);
    return true;
}

bool Win32ServiceManager::QueryState(ServiceHandle service, ServiceState& state)
{
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(AsHandle(service), &status)) return false;
    state = static_cast<ServiceState>(status.dwCurrentState);
    return true;
}

bool Win32ServiceManager::DeleteExistingService(ServiceHandle service) { return DeleteService(AsHandle(service)) != 0; }

void Win32ServiceManager::CloseHandle(ServiceHandle handle)
{
    if (handle != kNoService) CloseServiceHandle(AsHandle(handle));
}

uint32_t Win32ServiceManager::LastError() { return GetLastError(); }

}  // namespace varlin::win32
