// Small text helpers shared by every subsystem: printf-style formatting of
// the program's fixed message texts and case folding of 8-bit strings.
#pragma once

#include <string>
#include <string_view>

namespace varlin {

// Formats like printf; the program's messages are printf templates.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// The part of a path after its last "/" or "\" (the whole text when it has none).
std::string_view FileNamePart(std::string_view path);

}  // namespace varlin
