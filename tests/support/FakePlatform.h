// The ports of the program backed by test doubles and the emulated board.
// The driver device opens while the in-memory "Kordex" service runs;
// AttachBoard puts a board behind the device and the direct-mode hardware.
#pragma once

#include "flash/DriverService.h"
#include "platform/PlatformServices.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "hosts/emulated/EmulatedDirectHardware.h"
#include "hosts/emulated/EmulatedKordexDevice.h"
#include "hosts/emulated/EmulatedServiceManager.h"
#include "hosts/native/NativePictureLoader.h"
#include "tests/support/FakeFileDialog.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/FakeWindowHost.h"
#include "tests/support/RecordingMessagePort.h"

namespace varlin::test {

struct FakePlatform {
    FakePlatform()
    {
        kordex.driverRunning = [this] { return serviceManager.IsRunning(kDriverServiceName); };
    }

    // The board answers both back ends; the driver service is installed and
    // running, as a machine the program ran on before.
    void AttachBoard(emulated::EmulatedBoard& board)
    {
        kordex.board = &board;
        hardware.board = &board;
        serviceManager.AddService(kDriverServiceName, system.programDirectory + kDriverFileName, ServiceState::Running);
    }

    RecordingMessagePort messages;
    FakeSystem system;
    emulated::EmulatedKordexDevice kordex;
    emulated::EmulatedServiceManager serviceManager;
    emulated::EmulatedDirectHardware hardware;
    FakeFileDialog fileDialogs;
    FakeWindowHost windows;
    NativePictureLoader pictures;
    PlatformServices services{messages, system, kordex, serviceManager, hardware, fileDialogs, windows, pictures};
};

}  // namespace varlin::test
