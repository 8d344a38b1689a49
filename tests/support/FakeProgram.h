// The whole program over test doubles: the ports, the ROM device, the BIOS
// file being programmed and the application object, made in the order the
// program makes them.
#pragma once

#include "app/WizardApp.h"
#include "biosfile/BiosImage.h"
#include "flash/RomDevice.h"
#include "tests/support/FakePlatform.h"

namespace varlin::test {

struct FakeProgram {
    FakePlatform platform;
    RomDevice romDevice{platform.messages, platform.kordex, platform.hardware};
    BiosImage biosImage{romDevice, platform.messages};
    CWizardApp app{platform.services, romDevice, biosImage};
};

}  // namespace varlin::test
