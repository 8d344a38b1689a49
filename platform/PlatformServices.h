// The ports the program talks through, gathered in one place.  The Windows
// program fills it with the real adapters, the command-line tool with
// console and emulated ones, the tests with doubles.
#pragma once

#include "platform/DirectHardwarePort.h"
#include "platform/FileDialogPort.h"
#include "platform/KordexDevicePort.h"
#include "platform/MessagePort.h"
#include "platform/PictureLoaderPort.h"
#include "platform/ServiceManagerPort.h"
#include "platform/SystemPort.h"
#include "platform/WindowHost.h"

namespace varlin {

struct PlatformServices {
    MessagePort& messages;
    SystemPort& system;
    KordexDevicePort& kordex;            // the driver, on the NT family
    ServiceManagerPort& serviceManager;  // registers and starts the driver
    DirectHardwarePort& hardware;        // port writes and low memory, on Windows 9x
    FileDialogPort& fileDialogs;
    WindowHost& windows;
    PictureLoaderPort& pictures;  // decodes the logo and the preview's overlays
};

}  // namespace varlin
