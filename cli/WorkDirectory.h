// A private, temporary working directory for one run of the tool.  The
// logo build works through fixed-name files in the current directory; giving
// each run its own keeps the user's directory clean and lets runs overlap.
#pragma once

#include <filesystem>
#include <string>

#include "platform/SystemPort.h"

namespace varlin::cli {

class PrivateWorkDirectory {
public:
    PrivateWorkDirectory();
    ~PrivateWorkDirectory();
    PrivateWorkDirectory(const PrivateWorkDirectory&) = delete;
    PrivateWorkDirectory& operator=(const PrivateWorkDirectory&) = delete;

    // False when the directory could not be made or entered.
    bool Entered() const { return entered; }
    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path previous;
    std::filesystem::path path;
    bool entered = false;
};

// A tool run keeps the program's working files (the rebuilt image among
// them) in its private directory instead of beside the executable, which may
// lie in a folder the user cannot write and is shared by every run.
class WorkDirectorySystem : public HostSystem {
public:
    explicit WorkDirectorySystem(const PrivateWorkDirectory& work) : work(work) {}
    std::string ProgramDirectory() override { return work.Path().string() + "/"; }

private:
    const PrivateWorkDirectory& work;
};

// The path made absolute against the current directory, so it stays valid
// after the run has moved into its working directory.
std::string AbsolutePath(const std::string& path);

}  // namespace varlin::cli
