// Bringing up the Kordex driver on the NT family: the device is opened, and
// when that fails the driver is registered as a demand-start kernel service
// from the program's own folder, started, and opened again.  The service
// stays installed and running when the program ends.
#pragma once

#include <string>

#include "flash/RomInfo.h"
#include "platform/PlatformServices.h"

namespace varlin {

inline constexpr char kDriverServiceName[] = "Kordex";
inline constexpr char kDriverFileName[] = "kordex.sys";
inline constexpr char kRemoveArgument[] = "remove";

// Opens the device into `info.deviceHandle`; true at once off the NT family.
// False (after the service's own messages) when the device cannot be opened
// even after installing the driver; the program then ends.
bool OpenDriver(RomInfo& info, PlatformServices& platform);

// Installs and starts the service with `argument` as the driver file, or
// stops and deletes it when `argument` is "remove" (in any case).  Every step
// runs whatever the one before gave; failures are shown, not returned.
void ControlDriverService(PlatformServices& platform, const std::string& serviceName, const std::string& argument);

}  // namespace varlin
