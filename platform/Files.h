// Whole-file reads and writes on real files, used where the program works
// with a file as one block of bytes.
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

// Moves a finished file over the target in one step (an existing target is
// replaced); on failure the target is as before and `from` is removed.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Copies a file over the target, replacing an existing one; false on failure.
bool CopyFileReplacing(const std::string& from, const std::string& to);

}  // namespace varlin
