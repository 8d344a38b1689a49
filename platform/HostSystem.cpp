#include "platform/SystemPort.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

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

#endif

}  // namespace varlin
