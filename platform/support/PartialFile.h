// A file being written beside its target under a name no other file has,
// which takes the target's place only once it is complete.
//
// The name is the target's with ".partial-" and a random tag added, and the
// file is created exclusively, so two runs writing one target never share a
// file and a file of the user's that happens to carry such a name is never
// touched.  Until it has replaced its target the file is listed among the
// program's temporary files, which RemoveTemporaryFiles deletes when a run
// is stopped from outside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace varlin {

class PartialFile {
public:
    // Creates the file (for reading and writing); Stream() is null when that
    // failed.
    explicit PartialFile(const std::string& target);
    // Removes the file unless it has replaced its target.
    ~PartialFile();

    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    std::FILE* Stream() const { return stream; }
    const std::string& Path() const { return path; }

    // Writes all the bytes; false on any failure.
    bool Write(const uint8_t* data, size_t size);
    // Closes the stream; false when the bytes could not all be written out.
    bool Close();
    // Moves the closed file over the target in one step; on failure the
    // target is as before and the file is removed.
    bool ReplaceTarget();

private:
    std::string target;
    std::string path;
    std::FILE* stream = nullptr;
    int slot = -1;  // in the list of temporary files
    bool placed = false;
};

// A name for a temporary file beside the target: the target's with
// ".partial-" and a random tag added.  Another file may hold it already, so
// whoever takes the name does so exclusively and tries another when it is
// taken, up to kTemporaryNameAttempts names.
inline constexpr int kTemporaryNameAttempts = 64;
std::string TemporaryNameBeside(const std::string& target);

// Deletes every temporary file a PartialFile has created and not yet put in
// place.  Safe to call from a thread other than the one writing them.
void RemoveTemporaryFiles();

}  // namespace varlin
