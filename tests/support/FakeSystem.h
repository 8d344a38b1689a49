// A system port whose program directory, platform version and folder
// listings the test chooses.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "hosts/HostSystem.h"

namespace varlin::test {

// Thrown where the program would end its process, so that a test sees the
// exit code and the state the program left behind.
struct ProcessEnded {
    int exitCode;
};

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

    std::string ApplicationName() override { return applicationName; }
    InstanceMark MarkRunningInstance(const std::string& name) override
    {
        instanceMarks.push_back(name);
        return instanceMark;
    }
    bool ChangeDirectory(const std::string& directory) override
    {
        currentDirectories.push_back(directory);
        return HostSystem().ChangeDirectory(directory);
    }
    [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }
    void SetUiThreadPriority(ThreadPriority priority) override { priorities.push_back(priority); }
    void EnableShutdownPrivilege() override { events.push_back("shutdown privilege"); }
    void RestartWindows(bool force) override { events.push_back(force ? "restart forced" : "restart"); }

    std::string programDirectory = "./";
    std::string applicationName = "varlin";
    InstanceMark instanceMark = InstanceMark::Created;
    std::vector<std::string> instanceMarks;
    std::vector<std::string> currentDirectories;
    std::vector<ThreadPriority> priorities;
    std::vector<std::string> events;        // privilege and restart calls, in order
    uint32_t platformVersion = 0x00000006;  // the NT family
    std::map<std::string, std::vector<std::string>> listings;
    std::vector<std::string> listed;  // every folder listed, in order
};

}  // namespace varlin::test
