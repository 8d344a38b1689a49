// The port to the running process and the operating system around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

enum class ThreadPriority { Normal, TimeCritical };

enum class InstanceMark { Created, AlreadyExists, Failed };

class SystemPort {
public:
    virtual ~SystemPort() = default;

    // The folder of the running program file, ending in the platform's path
    // separator; working and default files are named on it.
    virtual std::string ProgramDirectory() = 0;

    // The platform version word as GetVersion gives it: high bit clear on the
    // NT family, set on Windows 9x and Win32s; low byte the major version.
    virtual uint32_t PlatformVersion() = 0;

    // The names of the entries of a folder, in the platform's listing order
    // (folder entries such as "." may be among them).  False when the
    // listing cannot start: no such folder, or nothing in it.
    virtual bool ListDirectory(const std::string& directory, std::vector<std::string>& names) = 0;

    // The program file's name without folder and extension; the instance
    // mark and the main window's property are named after it.
    virtual std::string ApplicationName() = 0;

    // Marks this process as the running instance with a named semaphore,
    // which stays until the process ends.
    virtual InstanceMark MarkRunningInstance(const std::string& name) = 0;

    virtual bool ChangeDirectory(const std::string& directory) = 0;

    // Ends the process at once with the exit code; nothing after it runs.
    [[noreturn]] virtual void EndProcess(int exitCode) = 0;

    virtual void SetUiThreadPriority(ThreadPriority priority) = 0;

    // Restarting Windows: the shutdown privilege the NT family asks for, and
    // the restart itself (forced: other programs may not refuse).
    virtual void EnableShutdownPrivilege() = 0;
    virtual void RestartWindows(bool force) = 0;
};

}  // namespace varlin
