// A fresh directory on disk for one test, removed afterwards; optionally the
// test's current directory for as long as it lives.
#pragma once

#include <filesystem>
#include <string>

#include "platform/support/Files.h"

namespace varlin::test {

class TempDir {
public:
    enum Mode { Stay, Enter };

    explicit TempDir(Mode mode = Stay);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::string File(const std::string& name) const { return (path / name).string(); }

    // Writes a file in the directory and returns its path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path path;
    std::filesystem::path previous;
};

// The bytes of a file, or an empty block when it cannot be read.
Bytes ReadFile(const std::string& path);

bool FileExists(const std::string& path);

}  // namespace varlin::test
