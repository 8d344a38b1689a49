#include "platform/SystemPort.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <filesystem>
#include <system_error>
#endif

namespace varlin {

#ifdef _WIN32

std::string HostSystem::ProgramDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    const size_t slash = directory.rfind('\\');
    directory.erase(slash == std::string::npos ? 0 : slash + 1);
    return directory;
}

uint32_t HostSystem::PlatformVersion() { return static_cast<uint32_t>(GetVersion()); }

bool HostSystem::ListDirectory(const std::string& directory, std::vector<std::string>& names)
{
    names.clear();
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += "*.*";
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}

std::string HostSystem::ApplicationName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path);
    const size_t slash = name.rfind('\\');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

InstanceMark HostSystem::MarkRunningInstance(const std::string& name)
{
    HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, name.c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (semaphore != nullptr) CloseHandle(semaphore);
        return InstanceMark::AlreadyExists;
    }
    return semaphore != nullptr ? InstanceMark::Created : InstanceMark::Failed;  // kept open until the end
}

bool HostSystem::ChangeDirectory(const std::string& directory) { return SetCurrentDirectoryA(directory.c_str()) != 0; }

void HostSystem::EndProcess(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

void HostSystem::SetUiThreadPriority(ThreadPriority priority)
{
    ::SetThreadPriority(GetCurrentThread(),
                        priority == ThreadPriority::TimeCritical ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_NORMAL);
}

void HostSystem::EnableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

void HostSystem::RestartWindows(bool force) { ExitWindowsEx(EWX_REBOOT | (force ? EWX_FORCE : 0), 0); }

#else

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

#endif

}  // namespace varlin
