#include "cli/BoardLock.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace varlin::cli {

namespace {

// FNV-1a: a lock file's name that stands for the programmer and its
// parameters, whatever characters they hold.
uint64_t NameHash(const std::string& text)
{
    uint64_t hash = 0xCBF29CE484222325u;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 0x100000001B3u;
    }
    return hash;
}

}  // namespace

BoardLock::~BoardLock()
{
    if (descriptor >= 0) close(descriptor);
}

bool BoardLock::Acquire(const std::string& directory, BoardAccess access)
{
    if (descriptor >= 0) close(descriptor);
    descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return true;
    return Lock(access, "the board " + directory);
}

bool BoardLock::AcquireProgrammer(const std::string& programmer, BoardAccess access)
{
    if (descriptor >= 0) close(descriptor);
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    char name[64];
    std::snprintf(name, sizeof name, "varlin-programmer-%016" PRIx64 ".lock", NameHash(programmer));
    const std::string path = ((error ? std::filesystem::path("/tmp") : folder) / name).string();
    // Another user's lock file can still be locked through reading.
    descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return true;
    return Lock(access, "the programmer " + programmer);
}

bool BoardLock::Lock(BoardAccess access, const std::string& what)
{
    const int operation = (access == BoardAccess::Write ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (flock(descriptor, operation) == 0) return true;
    if (errno == EWOULDBLOCK) {
        std::string sentence = what;
        sentence[0] = 'T';  // "the board ..." opens the sentence
        std::fprintf(stderr, "%s is in use by another run of varlin; nothing was done.\n", sentence.c_str());
    } else {
        std::fprintf(stderr, "Cannot lock %s.\n", what.c_str());
    }
    return false;
}

}  // namespace varlin::cli
