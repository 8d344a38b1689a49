#include "platform/SystemPort.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
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

#endif

}  // namespace varlin
