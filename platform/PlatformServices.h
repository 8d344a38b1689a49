// The ports the program talks through, gathered in one place.  The Windows
// program fills it with the real adapters, the command-line tool with
// console and emulated ones, the tests with doubles.
#pragma once

#include "platform/MessagePort.h"
#include "platform/SystemPort.h"

namespace varlin {

struct PlatformServices {
    MessagePort& messages;
    SystemPort& system;
};

}  // namespace varlin
