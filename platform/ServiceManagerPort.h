// The port to the service control manager, through which the driver is
// registered as a kernel service, started, stopped and removed.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

// A manager or service handle; kNoService is what a failed call gives.
using ServiceHandle = uintptr_t;
inline constexpr ServiceHandle kNoService = 0;

// The error codes the callers tell apart (the system's own numbers).
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorServiceAlreadyRunning = 1056;  // ERROR_SERVICE_ALREADY_RUNNING
inline constexpr uint32_t kErrorServiceDoesNotExist = 1060;
inline constexpr uint32_t kErrorServiceNotActive = 1062;
inline constexpr uint32_t kErrorServiceExists = 1073;  // ERROR_SERVICE_EXISTS

// Service states as the manager reports them.
enum class ServiceState : uint32_t { Stopped = 1, StartPending = 2, StopPending = 3, Running = 4 };

class ServiceManagerPort {
public:
    virtual ~ServiceManagerPort() = default;

    // The local manager's default database with every access right.
    virtual ServiceHandle OpenManager() = 0;

    // Registers a demand-start kernel driver service (normal error control,
    // no group, no dependencies, no account) and opens it.
    virtual ServiceHandle CreateDriverService(ServiceHandle manager, const std::string& name,
                                              const std::string& displayName, const std::string& driverPath) = 0;

    // Opens a registered service with every access right.
    virtual ServiceHandle OpenExistingService(ServiceHandle manager, const std::string& name) = 0;

    virtual bool StartExistingService(ServiceHandle service) = 0;

    // Asks the service to stop; on success `state` is its state afterwards.
    virtual bool StopService(ServiceHandle service, ServiceState& state) = 0;

    virtual bool QueryState(ServiceHandle service, ServiceState& state) = 0;

    // Marks the service for deletion.
    virtual bool DeleteExistingService(ServiceHandle service) = 0;

    virtual void CloseHandle(ServiceHandle handle) = 0;

    // The error code of the last failed call.
    virtual uint32_t LastError() = 0;
};

}  // namespace varlin
