// The port to the running process and the operating system around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

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
};

// The real process: the program directory as the operating system reports
// the running executable (/proc/self/exe on Linux, GetModuleFileNameA on
// Windows).  Other hosts count as the NT family.
class HostSystem : public SystemPort {
public:
    std::string ProgramDirectory() override;
    uint32_t PlatformVersion() override;
    bool ListDirectory(const std::string& directory, std::vector<std::string>& names) override;
};

}  // namespace varlin
