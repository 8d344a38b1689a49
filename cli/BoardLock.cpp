#include "cli/BoardLock.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace varlin::cli {

BoardLock::~BoardLock()
{
    if (descriptor >= 0) close(descriptor);
}

bool BoardLock::Acquire(const std::string& directory, BoardAccess access)
{
    if (descriptor >= 0) close(descriptor);
    descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return true;
    const int operation = (access == BoardAccess::Write ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (flock(descriptor, operation) == 0) return true;
    if (errno == EWOULDBLOCK) {
        std::fprintf(stderr, "The board %s is in use by another run of varlin; nothing was done.\n", directory.c_str());
    } else {
        std::fprintf(stderr, "Cannot lock the board %s.\n", directory.c_str());
    }
    return false;
}

}  // namespace varlin::cli
