// The host system on Windows.
#include "hosts/HostSystem.h"

#include <windows.h>

namespace varlin {

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
    ::SetThreadPriority(GetCurrentThread(), priority == ThreadPriority::TimeCritical ? THREAD_PRIORITY_TIME_CRITICAL
                                                                                     : THREAD_PRIORITY_NORMAL);
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

}  // namespace varlin
