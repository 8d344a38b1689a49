// The port to the running process and the operating system around it.
#pragma once

#include <string>

namespace varlin {

class SystemPort {
public:
    virtual ~SystemPort() = default;

    // The folder of the running program file, ending in the platform's path
    // separator; working and default files are named on it.
    virtual std::string ProgramDirectory() = 0;
};

// The real process: the program directory as the operating system reports
// the running executable (/proc/self/exe on Linux, GetModuleFileNameA on
// Windows).
class HostSystem : public SystemPort {
public:
    std::string ProgramDirectory() override;
};

}  // namespace varlin
