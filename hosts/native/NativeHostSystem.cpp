// The host system on Linux, where the tool, the tests and the fuzz targets
// run: the executable's folder, a lock file for the running instance, and
// no restarts.
#include "hosts/HostSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace varlin {

std::string HostSystem::ProgramDirectory()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string directory(path, length > 0 ? static_cast<size_t>(length) : 0);
    const size_t slash = directory.rfind('/');
    directory.erase(slash == std::string::npos ? 0 : slash + 1);
    return directory;
}

// Version 6.0 of the NT family.
uint32_t HostSystem::PlatformVersion() { return 0x00000006; }

// Sorted by name, so that the first fitting file is the same on every run.
bool HostSystem::ListDirectory(const std::string& directory, std::vector<std::string>& names)
{
    names.clear();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return !error && !names.empty();
}

std::string HostSystem::ApplicationName()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return std::filesystem::path(std::string(path, length > 0 ? static_cast<size_t>(length) : 0)).stem().string();
}

// A lock file in the temporary folder stands for the named semaphore.
InstanceMark HostSystem::MarkRunningInstance(const std::string& name)
{
    const std::string path = (std::filesystem::temp_directory_path() / (name + ".instance")).string();
    const int file = open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (file < 0) return InstanceMark::Failed;
    if (flock(file, LOCK_EX | LOCK_NB) != 0) {
        close(file);
        return InstanceMark::AlreadyExists;
    }
    return InstanceMark::Created;  // the lock holds until the process ends
}

bool HostSystem::ChangeDirectory(const std::string& directory)
{
    std::error_code error;
    std::filesystem::current_path(directory, error);
    return !error;
}

void HostSystem::EndProcess(int exitCode)
{
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void HostSystem::SetUiThreadPriority(ThreadPriority) {}

// There is no Windows to restart on this host.
void HostSystem::EnableShutdownPrivilege() {}
void HostSystem::RestartWindows(bool) {}

}  // namespace varlin
