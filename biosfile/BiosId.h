// The 8-byte BIOS ID that ties a BIOS file to the boards it was made for.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

// The ID as text: at most 8 characters, ended early by a zero byte.
std::string BiosIdText(const uint8_t* id);

// Reads the ID of a BIOS file (the 8 bytes 24 before its end).  False when
// the file cannot be opened as a regular file; `id` is then empty, and it is
// empty too for files shorter than 24 bytes.
bool ReadFileBiosId(const std::string& path, std::string& id);

}  // namespace varlin
