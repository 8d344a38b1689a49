// Bringing up the driver against the in-memory service manager.
#include <gtest/gtest.h>

#include "flash/DriverService.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

using emulated::EmulatedServiceManager;

constexpr char kCantGetHandle[] = "Can't get a handle to \\\\.\\Kordex\n";

class DriverServiceTest : public ::testing::Test {
protected:
    DriverServiceTest()
    {
        platform.system.programDirectory = dir.Path().string() + "/";
        platform.kordex.board = &board.Board();
        info.platformMode = kPlatformNt;
    }

    std::string DriverPath() const { return dir.File("kordex.sys"); }
    void PutDriverFile() const { dir.Write("kordex.sys", Bytes{1, 2, 3}); }
    std::vector<std::string> Shown() const { return platform.messages.Texts(); }
    EmulatedServiceManager& Manager() { return platform.serviceManager; }

    // Every message of the service steps is an "Error" box above all windows.
    void ExpectErrorBoxes() const
    {
        for (const test::ShownMessage& message : platform.messages.shown) {
            EXPECT_TRUE(message.system);
            EXPECT_EQ(message.caption, "Error");
            EXPECT_TRUE(message.style.topmost);
        }
    }

    test::TempDir dir;
    test::TestBoard board{test::MakeFlashImage(128 * test::kKiB), {}};
    test::FakePlatform platform;
    RomInfo info;
};

TEST_F(DriverServiceTest, RunningDriverOpensWithoutServiceCalls)
{
    Manager().AddService("Kordex", DriverPath(), ServiceState::Running);
    EXPECT_TRUE(OpenDriver(info, platform.services));
    EXPECT_NE(info.deviceHandle, kNoDevice);
    EXPECT_TRUE(Manager().calls.empty());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DriverServiceTest, StoppedServiceIsStartedSilently)
{
    PutDriverFile();
    Manager().AddService("Kordex", DriverPath(), ServiceState::Stopped);
    EXPECT_TRUE(OpenDriver(info, platform.services));
    EXPECT_NE(info.deviceHandle, kNoDevice);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Manager().calls,
              (std::vector<std::string>{"OpenManager", "Create Kordex", "Open Kordex", "Start Kordex"}));
    EXPECT_EQ(Manager().OpenHandleCount(), 0u);
}

TEST_F(DriverServiceTest, MissingServiceIsInstalledFromTheProgramFolder)
{
    PutDriverFile();
    EXPECT_TRUE(OpenDriver(info, platform.services));
    ASSERT_EQ(Manager().services.count("Kordex"), 1u);
    const EmulatedServiceManager::Service& service = Manager().services.at("Kordex");
    // The driver file is named on the program's folder, never on the command line.
    EXPECT_EQ(service.driverPath, platform.system.programDirectory + "kordex.sys");
    EXPECT_EQ(service.displayName, "Kordex");
    EXPECT_EQ(service.state, ServiceState::Running);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Manager().OpenHandleCount(), 0u);
}

TEST_F(DriverServiceTest, MissingDriverFileEndsWithTheServiceRemoved)
{
    EXPECT_FALSE(OpenDriver(info, platform.services));
    EXPECT_EQ(info.deviceHandle, kNoDevice);
    // First the file and its folder, then the service's own messages.
    const std::string missing = "The driver file \"kordex.sys\" is missing.\n\nIt belongs in the program's folder:\n" +
                                platform.system.programDirectory;
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{missing, "StartService failure!", kCantGetHandle, "ControlService failure!"}));
    ExpectErrorBoxes();
    EXPECT_TRUE(Manager().services.empty());
    EXPECT_EQ(Manager().OpenHandleCount(), 0u);
}

TEST_F(DriverServiceTest, DriverFileTheServiceCannotStart)
{
    PutDriverFile();
    Manager().driverLoads = [](const std::string&) { return false; };
    EXPECT_FALSE(OpenDriver(info, platform.services));
    const std::string notStarted = "The driver file \"kordex.sys\" in the program's folder\n" +
                                   platform.system.programDirectory + "\ncould not be started.";
    EXPECT_EQ(Shown(), (std::vector<std::string>{notStarted, "StartService failure!", kCantGetHandle,
                                                 "ControlService failure!"}));
    ExpectErrorBoxes();
    EXPECT_TRUE(Manager().services.empty());
}

TEST_F(DriverServiceTest, RunningServiceWithoutDevice)
{
    PutDriverFile();
    platform.kordex.board = nullptr;  // the driver runs but makes no device
    Manager().AddService("Kordex", DriverPath(), ServiceState::Running);
    EXPECT_FALSE(OpenDriver(info, platform.services));
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"Failure: StartService, ERROR_SERVICE_ALREADY_RUNNING", kCantGetHandle}));
    ExpectErrorBoxes();
    EXPECT_TRUE(Manager().services.empty());
}

TEST_F(DriverServiceTest, OtherPlatformsNeedNoDriver)
{
    info.platformMode = kPlatformWin9x;
    EXPECT_TRUE(OpenDriver(info, platform.services));
    EXPECT_EQ(info.deviceHandle, kNoDevice);
    EXPECT_TRUE(Manager().calls.empty());
    EXPECT_TRUE(platform.kordex.requests.empty());
}

TEST_F(DriverServiceTest, RemovingWhatIsNotThere)
{
    ControlDriverService(platform.services, "Kordex", "ReMoVe");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"OpenService failure!", "OpenService failure"}));
    ExpectErrorBoxes();
    EXPECT_EQ(Manager().OpenHandleCount(), 0u);
}

TEST_F(DriverServiceTest, RemovingARunningService)
{
    Manager().AddService("Kordex", DriverPath(), ServiceState::Running);
    ControlDriverService(platform.services, "Kordex", "remove");
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Manager().services.empty());
    EXPECT_EQ(Manager().calls,
              (std::vector<std::string>{"OpenManager", "Open Kordex", "Stop Kordex", "Open Kordex", "Delete Kordex"}));
}

// A manager that cannot be opened: every step fails and says so.
class ClosedServiceManager : public EmulatedServiceManager {
public:
    ServiceHandle OpenManager() override { return kNoService; }
};

TEST(DriverServiceManagerTest, EveryStepRunsWhateverTheOneBeforeGave)
{
    test::FakePlatform fake;
    ClosedServiceManager manager;
    PlatformServices services{fake.messages, fake.system,      fake.kordex,  manager,
                              fake.hardware, fake.fileDialogs, fake.windows, fake.pictures};
    ControlDriverService(services, "Kordex", "/opt/varlin/kordex.sys");
    EXPECT_EQ(fake.messages.Texts(),
              (std::vector<std::string>{"CreateService failure!", "OpenService failure!", kCantGetHandle}));
    fake.messages.shown.clear();
    ControlDriverService(services, "Kordex", "remove");
    EXPECT_EQ(fake.messages.Texts(), (std::vector<std::string>{"OpenService failure!", "OpenService failure"}));
}

}  // namespace
}  // namespace varlin
