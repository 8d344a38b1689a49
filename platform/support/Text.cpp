#include "platform/support/Text.h"

#include <cstdarg>
#include <cstdio>

namespace varlin {

#ifdef _WIN32

// On Windows the system's C library formats: the toolchain's own printf is
// compiled for newer processors than the program runs on.  Its _vsnprintf
// says only that a text did not fit, so the buffer grows until it does.
std::string FormatText(const char* format, ...)
{
    constexpr size_t kLongestText = 1u << 20;
    std::string text(256, '\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int length = _vsnprintf(text.data(), text.size(), format, args);
        va_end(args);
        if (length >= 0 && static_cast<size_t>(length) < text.size()) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
        if (text.size() >= kLongestText) return std::string();
        text.resize(text.size() * 2);
    }
}

#else

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

#endif

std::string ToUpperAscii(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

std::string ToLowerAscii(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string_view FileNamePart(std::string_view path)
{
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace varlin
