// A service control manager held in memory, for the tool and the tests.  A
// kernel driver service starts when its driver file exists on disk (or as
// `driverLoads` decides); every call made is logged.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/support/FlatMap.h"
#include "platform/ServiceManagerPort.h"

namespace varlin::emulated {

class EmulatedServiceManager : public ServiceManagerPort {
public:
    struct Service {
        std::string displayName;
        std::string driverPath;
        ServiceState state = ServiceState::Stopped;
    };

    EmulatedServiceManager();

    ServiceHandle OpenManager() override;
    ServiceHandle CreateDriverService(ServiceHandle manager, const std::string& name, const std::string& displayName,
                                      const std::string& driverPath) override;
    ServiceHandle OpenExistingService(ServiceHandle manager, const std::string& name) override;
    bool StartExistingService(ServiceHandle service) override;
    bool StopService(ServiceHandle service, ServiceState& state) override;
    bool QueryState(ServiceHandle service, ServiceState& state) override;
    bool DeleteExistingService(ServiceHandle service) override;
    void CloseHandle(ServiceHandle handle) override;
    uint32_t LastError() override { return lastError; }

    // Registers a service as an installer would have left it.
    void AddService(const std::string& name, const std::string& driverPath, ServiceState state);
    bool IsRunning(const std::string& name) const;

    FlatMap<std::string, Service> services;                    // by name
    std::function<bool(const std::string& path)> driverLoads;  // whether a driver file starts
    std::vector<std::string> calls;                            // "Create Kordex", "Start Kordex", ...
    size_t OpenHandleCount() const { return handles.size(); }

private:
    Service* ServiceOf(ServiceHandle handle, const char* call);
    ServiceHandle NewHandle(const std::string& name);
    bool Fail(uint32_t error);
    ServiceHandle Refuse(uint32_t error);

    FlatMap<ServiceHandle, std::string> handles;  // the manager's handles map to ""
    ServiceHandle nextHandle = 1;
    uint32_t lastError = 0;
};

}  // namespace varlin::emulated
