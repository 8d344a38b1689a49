// The 8-byte BIOS ID that ties a BIOS file to the boards it was made for.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace varlin {

// The ID as text: at most 8 characters, ended early by a zero byte.
std::string BiosIdText(const uint8_t* id);

// Reads the ID of a BIOS file (the 8 bytes 24 before its end).  False when
// the file cannot be opened as a regular file; `id` is then empty, and it is
// empty too for files shorter than 24 bytes.
bool ReadFileBiosId(const std::string& path, std::string& id);

// The ROM size, in 64 KiB units, that an image's size code (8103 bytes
// before its end) names: 'Z' 256 KiB, '[' 512 KiB, '\\' 1 MiB, anything
// else 128 KiB.
uint8_t SizeCodeRomUnits(std::span<const uint8_t> image);

// True for the lengths a BIOS image can have: one of the ROM sizes the size
// codes name (128 KiB, 256 KiB, 512 KiB, 1 MiB).
bool IsRomImageSize(uint64_t bytes);

}  // namespace varlin
