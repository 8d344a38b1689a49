// One writer per board: a run that changes a board holds it exclusively, and runs that only read it share it, so no run
// reads a ROM half-way through another's update and no two updates interleave. A run that cannot have the lock at once
// is refused before it touches the board.  The lock ends with the run.
#pragma once

#include <string>

namespace varlin::cli {

enum class BoardAccess { Read, Write };

class BoardLock {
public:
    BoardLock() = default;
    ~BoardLock();
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;

    // False, after saying so, when another run holds the board.  A folder
    // that cannot be opened is not refused here: opening it as a board says
    // what is wrong with it.
    bool Acquire(const std::string& directory, BoardAccess access);

    // The same for a real board reached through a programmer: the runs that
    // name the same programmer share a lock file in the temporary folder.
    bool AcquireProgrammer(const std::string& programmer, BoardAccess access);

private:
    bool Lock(BoardAccess access, const std::string& what);

    int descriptor = -1;
};

}  // namespace varlin::cli
