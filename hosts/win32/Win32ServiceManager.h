// The service control manager of advapi32, through which the driver is
// registered, started, stopped and removed.
#pragma once

#include "platform/ServiceManagerPort.h"

namespace varlin::win32 {

class Win32ServiceManager : public ServiceManagerPort {
public:
    ServiceHandle OpenManager() override;
    ServiceHandle CreateDriverService(ServiceHandle manager, const std::string& name, const std::string& displayName,
                                      const std::string& driverPath) override;
    ServiceHandle OpenExistingService(ServiceHandle manager, const std::string& name) override;
    bool StartExistingService(ServiceHandle service) override;
    bool StopService(ServiceHandle service, ServiceState& state) override;
    bool QueryState(ServiceHandle service, ServiceState& state) override;
    bool DeleteExistingService(ServiceHandle service) override;
    void CloseHandle(ServiceHandle handle) override;
    uint32_t LastError() override;
};

}  // namespace varlin::win32
