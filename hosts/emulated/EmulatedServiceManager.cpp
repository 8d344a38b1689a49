#include "hosts/emulated/EmulatedServiceManager.h"

#include "platform/support/Files.h"

namespace varlin::emulated {

namespace {

constexpr uint32_t kErrorInvalidHandle = 6;

}  // namespace

EmulatedServiceManager::EmulatedServiceManager()
    : driverLoads([](const std::string& path) { return IsRegularFile(path); })
{
}

ServiceHandle EmulatedServiceManager::NewHandle(const std::string& name)
{
    handles[nextHandle] = name;
    return nextHandle++;
}

bool EmulatedServiceManager::Fail(uint32_t error)
{
    lastError = error;
    return false;
}

ServiceHandle EmulatedServiceManager::Refuse(uint32_t error)
{
    lastError = error;
    return kNoService;
}

EmulatedServiceManager::Service* EmulatedServiceManager::ServiceOf(ServiceHandle handle, const char* call)
{
    const auto entry = handles.find(handle);
    const std::string name = entry == handles.end() ? "?" : entry->second;
    calls.push_back(std::string(call) + " " + name);
    if (entry == handles.end() || entry->second.empty() || services.count(entry->second) == 0) {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    return &services[entry->second];
}

ServiceHandle EmulatedServiceManager::OpenManager()
{
    calls.push_back("OpenManager");
    return NewHandle("");
}

ServiceHandle EmulatedServiceManager::CreateDriverService(ServiceHandle manager, const std::string& name,
                                                          const std::string& displayName, const std::string& driverPath)
{
    calls.push_back("Create " + name);
    if (handles.count(manager) == 0 || !handles[manager].empty()) return Refuse(kErrorInvalidHandle);
    if (services.count(name) != 0) return Refuse(kErrorServiceExists);
    services[name] = Service{displayName, driverPath, ServiceState::Stopped};
    return NewHandle(name);
}

ServiceHandle EmulatedServiceManager::OpenExistingService(ServiceHandle manager, const std::string& name)
{
    calls.push_back("Open " + name);
    if (handles.count(manager) == 0 || !handles[manager].empty()) return Refuse(kErrorInvalidHandle);
    if (services.count(name) == 0) return Refuse(kErrorServiceDoesNotExist);
    return NewHandle(name);
}

bool EmulatedServiceManager::StartExistingService(ServiceHandle handle)
{
    Service* service = ServiceOf(handle, "Start");
    if (service == nullptr) return false;
    if (service->state == ServiceState::Running) return Fail(kErrorServiceAlreadyRunning);
    if (!driverLoads(service->driverPath)) return Fail(kErrorFileNotFound);
    service->state = ServiceState::Running;
    return true;
}

bool EmulatedServiceManager::StopService(ServiceHandle handle, ServiceState& state)
{
    Service* service = ServiceOf(handle, "Stop");
    if (service == nullptr) return false;
    if (service->state != ServiceState::Running) return Fail(kErrorServiceNotActive);
    service->state = ServiceState::Stopped;
    state = service->state;
    return true;
}

bool EmulatedServiceManager::QueryState(ServiceHandle handle, ServiceState& state)
{
    Service* service = ServiceOf(handle, "Query");
    if (service == nullptr) return false;
    state = service->state;
    return true;
}

bool EmulatedServiceManager::DeleteExistingService(ServiceHandle handle)
{
    if (ServiceOf(handle, "Delete") == nullptr) return false;
    services.erase(handles[handle]);
    return true;
}

void EmulatedServiceManager::CloseHandle(ServiceHandle handle)
{
    if (handle != kNoService) handles.erase(handle);
}

void EmulatedServiceManager::AddService(const std::string& name, const std::string& driverPath, ServiceState state)
{
    services[name] = Service{name, driverPath, state};
}

bool EmulatedServiceManager::IsRunning(const std::string& name) const
{
    const auto entry = services.find(name);
    return entry != services.end() && entry->second.state == ServiceState::Running;
}

}  // namespace varlin::emulated
