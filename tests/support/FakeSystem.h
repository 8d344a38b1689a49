// A system port whose program directory, platform version and folder
// listings the test chooses.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/SystemPort.h"

namespace varlin::test {

class FakeSystem : public SystemPort {
public:
    std::string ProgramDirectory() override { return programDirectory; }
    uint32_t PlatformVersion() override { return platformVersion; }

    // A listing set in `listings` is given as it stands; any other folder is
    // listed from the disk as the host lists it (sorted by name).
    bool ListDirectory(const std::string& directory, std::vector<std::string>& names) override
    {
        listed.push_back(directory);
        const auto scripted = listings.find(directory);
        if (scripted != listings.end()) {
            names = scripted->second;
            return !names.empty();
        }
        return HostSystem().ListDirectory(directory, names);
    }

    std::string programDirectory = "./";
    uint32_t platformVersion = 0x00000006;  // the NT family
    std::map<std::string, std::vector<std::string>> listings;
    std::vector<std::string> listed;  // every folder listed, in order
};

}  // namespace varlin::test
