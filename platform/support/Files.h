// The program's file operations on real files: whole-file reads and writes,
// where the program works with a file as one block of bytes, and the few
// questions it asks about files.  On Windows they are the system's ANSI
// calls, which every Windows version the program runs on has; elsewhere the
// standard library's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

using Bytes = std::vector<uint8_t>;

// The separator the program directory ends with.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class ReadStatus { Ok, CannotOpen, TooLarge, ReadError };

// Reads a regular file whole.  Directories and other non-regular files
// count as files that cannot be opened.  Files longer than maxBytes are not
// read (TooLarge); `bytes` then holds their first maxBytes bytes.
ReadStatus ReadWholeFile(const std::string& path, Bytes& bytes, size_t maxBytes = SIZE_MAX);

// Creates (or empties) the file and writes the bytes; false on any failure.
bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);
inline bool WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    return WriteWholeFile(path, bytes.data(), bytes.size());
}

// Writes the file completely or not at all: the bytes go to a temporary
// file beside it (see PartialFile), which then replaces the target.
bool ReplaceFileAtomically(const std::string& path, const uint8_t* data, size_t size);

// Moves a finished file over the target (an existing target is replaced);
// on failure the target is as before and `from` is removed.  Where the
// system replaces in one step it does; elsewhere ReplaceByMovingAside.
bool MoveFileReplacing(const std::string& from, const std::string& to);

#ifdef _WIN32
// Replaces the target where Windows cannot in one step (Windows 9x): the old
// file is renamed aside under a temporary name beside it, the new one takes
// its name, then the old one goes.  Whatever step fails, the target's name
// holds the old file or the new one: on failure the old one is put back and
// `from` is removed (should the system refuse even to put it back, both
// stay, the old one under its temporary name).  A read-only target is kept.
bool ReplaceByMovingAside(const std::string& from, const std::string& to);
#endif

// Copies a file over the target, replacing an existing one; false on failure.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Whether the path names an existing regular file (a folder is none).
bool IsRegularFile(const std::string& path);

// The length of a regular file; false when there is none to measure.
bool FileSizeOf(const std::string& path, uint64_t& size);

// Whether both paths name one and the same existing file, however they are
// spelt; false when either does not exist.
bool IsSameFile(const std::string& first, const std::string& second);

// A name in a folder: the folder, the platform's separator unless the folder
// already ends in one (or is empty), and the name.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace varlin
