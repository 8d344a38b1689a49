#include "platform/Files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/PartialFile.h"

namespace varlin {

namespace fs = std::filesystem;

ReadStatus ReadWholeFile(const std::string& path, Bytes& bytes, size_t maxBytes)
{
    bytes.clear();
    std::error_code error;
    if (!fs::is_regular_file(fs::path(path), error)) return ReadStatus::CannotOpen;

    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return ReadStatus::CannotOpen;

    ReadStatus status = ReadStatus::Ok;
    uint8_t chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        const size_t room = maxBytes - bytes.size();
        bytes.insert(bytes.end(), chunk, chunk + (got < room ? got : room));
        if (got > room) {
            status = ReadStatus::TooLarge;
            break;
        }
        if (got < sizeof chunk) {
            if (std::ferror(file)) status = ReadStatus::ReadError;
            break;
        }
    }
    std::fclose(file);
    return status;
}

bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

bool ReplaceFileAtomically(const std::string& path, const uint8_t* data, size_t size)
{
    PartialFile partial(path);
    return partial.Write(data, size) && partial.Close() && partial.ReplaceTarget();
}

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::rename(fs::path(from), fs::path(to), error);
    if (error) {
        std::remove(from.c_str());
        return false;
    }
    return true;
}

bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    std::error_code error;
    return fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, error) && !error;
}

}  // namespace varlin
