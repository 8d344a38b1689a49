// The system port of the real process, one definition for each host system
// the program is built for (native/NativeHostSystem.cpp on Linux,
// win32/Win32HostSystem.cpp on Windows).
#pragma once

#include "platform/SystemPort.h"

namespace varlin {

// The real process: the program directory as the operating system reports
// the running executable (/proc/self/exe on Linux, GetModuleFileNameA on
// Windows).  Other hosts count as the NT family.
class HostSystem : public SystemPort {
public:
    std::string ProgramDirectory() override;
    uint32_t PlatformVersion() override;
    bool ListDirectory(const std::string& directory, std::vector<std::string>& names) override;
    std::string ApplicationName() override;
    InstanceMark MarkRunningInstance(const std::string& name) override;
    bool ChangeDirectory(const std::string& directory) override;
    [[noreturn]] void EndProcess(int exitCode) override;
    void SetUiThreadPriority(ThreadPriority priority) override;
    void EnableShutdownPrivilege() override;
    void RestartWindows(bool force) override;
};

}  // namespace varlin
