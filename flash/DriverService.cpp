#include "flash/DriverService.h"

#include "flash/FlashMessages.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

void ShowDriverError(PlatformServices& platform, const std::string& message)
{
    platform.messages.ShowSystemMessage(message, text::kDriverErrorCaption, {MessageButtons::Ok, true});
}

std::string DevicePathOf(const std::string& serviceName) { return "\\\\.\\" + serviceName; }

void CreateDriver(PlatformServices& platform, ServiceHandle manager, const std::string& name,
                  const std::string& driverPath)
{
    ServiceManagerPort& services = platform.serviceManager;
    const ServiceHandle service = services.CreateDriverService(manager, name, name, driverPath);
    if (service != kNoService) {
        services.CloseHandle(service);
    } else if (services.LastError() != kErrorServiceExists) {
        ShowDriverError(platform, text::kCreateServiceFailure);
    }
}

// Opens the service, runs one step on it and closes it again; a service that
// cannot be opened ends the step with `openFailure`.
template <typename Step>
void OnService(PlatformServices& platform, ServiceHandle manager, const std::string& name, const char* openFailure,
               Step step)
{
    ServiceManagerPort& services = platform.serviceManager;
    const ServiceHandle service = services.OpenExistingService(manager, name);
    if (service == kNoService) {
        ShowDriverError(platform, openFailure);
        return;
    }
    step(services, service);
    services.CloseHandle(service);
}

// `driverFolder`, when given, is where the driver file lies: a start that
// fails then names it first.
void StartDriver(PlatformServices& platform, ServiceHandle manager, const std::string& name,
                 const std::string* driverFolder)
{
    const auto start = [&](ServiceManagerPort& services, ServiceHandle service) {
        if (services.StartExistingService(service)) return;
        const bool running = services.LastError() == kErrorServiceAlreadyRunning;
        if (!running && driverFolder != nullptr) {
            ShowDriverError(platform, FormatText(text::kDriverFileNotStarted, kDriverFileName, driverFolder->c_str()));
        }
        ShowDriverError(platform, running ? text::kStartServiceAlreadyRunning : text::kStartServiceFailure);
    };
    OnService(platform, manager, name, text::kOpenServiceFailure, start);
}

// Shows whether the started driver answers on its device.
void ProbeDriver(PlatformServices& platform, const std::string& name)
{
    const std::string path = DevicePathOf(name);
    const DeviceHandle device = platform.kordex.OpenDevice(path);
    if (device == kNoDevice) {
        ShowDriverError(platform, FormatText(text::kCantGetHandle, path.c_str()));
        return;
    }
    platform.kordex.CloseDevice(device);
}

void StopDriver(PlatformServices& platform, ServiceHandle manager, const std::string& name)
{
    const auto stop = [&](ServiceManagerPort& services, ServiceHandle service) {
        ServiceState state = ServiceState::Stopped;
        if (!services.StopService(service, state)) ShowDriverError(platform, text::kControlServiceFailure);
    };
    OnService(platform, manager, name, text::kOpenServiceFailure, stop);
}

void DeleteDriver(PlatformServices& platform, ServiceHandle manager, const std::string& name)
{
    const auto remove = [&](ServiceManagerPort& services, ServiceHandle service) {
        if (!services.DeleteExistingService(service)) ShowDriverError(platform, text::kDeleteServiceFailure);
    };
    OnService(platform, manager, name, text::kOpenServiceFailureOnDelete, remove);
}

void InstallDriver(PlatformServices& platform, const std::string& serviceName, const std::string& driverPath,
                   const std::string* driverFolder)
{
    const ServiceHandle manager = platform.serviceManager.OpenManager();
    CreateDriver(platform, manager, serviceName, driverPath);
    StartDriver(platform, manager, serviceName, driverFolder);
    ProbeDriver(platform, serviceName);
    platform.serviceManager.CloseHandle(manager);
}

}  // namespace

bool OpenDriver(RomInfo& info, PlatformServices& platform)
{
    if (!info.DriverMode()) return true;
    info.deviceHandle = platform.kordex.OpenDevice(kKordexDevicePath);
    if (info.deviceHandle != kNoDevice) return true;

    // The driver file is taken from the folder of the running program only:
    // a path built from the command line could point the kernel at any file.
    // What is wrong with it is said once, before the service's messages.
    const std::string folder = platform.system.ProgramDirectory();
    const std::string driverPath = folder + kDriverFileName;
    const bool driverFilePresent = IsRegularFile(driverPath);
    if (!driverFilePresent) {
        ShowDriverError(platform, FormatText(text::kDriverFileMissing, kDriverFileName, folder.c_str()));
    }
    InstallDriver(platform, kDriverServiceName, driverPath, driverFilePresent ? &folder : nullptr);
    info.deviceHandle = platform.kordex.OpenDevice(kKordexDevicePath);
    if (info.deviceHandle != kNoDevice) return true;

    ControlDriverService(platform, kDriverServiceName, kRemoveArgument);
    return false;
}

void ControlDriverService(PlatformServices& platform, const std::string& serviceName, const std::string& argument)
{
    if (ToLowerAscii(argument) != kRemoveArgument) {
        InstallDriver(platform, serviceName, argument, nullptr);
        return;
    }
    const ServiceHandle manager = platform.serviceManager.OpenManager();
    StopDriver(platform, manager, serviceName);
    DeleteDriver(platform, manager, serviceName);
    platform.serviceManager.CloseHandle(manager);
}

}  // namespace varlin
