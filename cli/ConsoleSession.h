// What one run of the tool works with: the application object over
// terminal-backed ports.
#pragma once

#include "app/WizardApp.h"
#include "cli/ConsoleMessages.h"
#include "platform/PlatformServices.h"

namespace varlin::cli {

struct ConsoleSession {
    ConsoleMessagePort messages;
    HostSystem system;
    PlatformServices platform{messages, system};
    CWizardApp app{platform};
};

}  // namespace varlin::cli
