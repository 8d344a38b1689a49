#include "platform/support/Files.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <filesystem>
#include <system_error>
#endif

#include "platform/support/PartialFile.h"

namespace varlin {

#ifdef _WIN32

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// MoveFileExA replaces a file in one step on the NT family; Windows 9x
// exports it but answers that it is not implemented.  It is looked up, not
// imported, so that the program loads where it is missing.
MoveFileExFunction FindMoveFileEx()
{
    return reinterpret_cast<MoveFileExFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
}

bool IsReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Renames the file to a free temporary name beside it; `aside` receives the
// name.  MoveFileA never moves onto an existing file, so a name that is
// taken is simply passed over.
bool MoveAside(const std::string& path, std::string& aside)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        aside = TemporaryNameBeside(path);
        if (MoveFileA(path.c_str(), aside.c_str())) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool CopyReplacing(const std::string& from, const std::string& to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

// Opened only to ask who the file is: reading and writing by others go on.
HANDLE OpenForQuery(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IdentifyFile(HANDLE file, BY_HANDLE_FILE_INFORMATION& identity)
{
    return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &identity) != 0;
}

}  // namespace

bool ReplaceByMovingAside(const std::string& from, const std::string& to)
{
    if (!IsRegularFile(to)) {
        if (MoveFileA(from.c_str(), to.c_str())) return true;
        DeleteFileA(from.c_str());
        return false;
    }
    // A read-only file stays, as MoveFileExA leaves it.
    std::string aside;
    if (IsReadOnly(to) || !MoveAside(to, aside)) {
        DeleteFileA(from.c_str());
        return false;
    }
    if (!MoveFileA(from.c_str(), to.c_str())) {
        // The old file goes back under its name; should even that fail, both
        // files stay where they are rather than the new one being lost too.
        if (MoveFileA(aside.c_str(), to.c_str())) DeleteFileA(from.c_str());
        return false;
    }
    DeleteFileA(aside.c_str());
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    const MoveFileExFunction moveFileEx = FindMoveFileEx();
    if (moveFileEx != nullptr) {
        if (moveFileEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            DeleteFileA(from.c_str());
            return false;
        }
    }
    return ReplaceByMovingAside(from, to);
}

bool IsRegularFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FileSizeOf(const std::string& path, uint64_t& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// The volume and the file's index on it name a file whatever path leads
// there.
bool IsSameFile(const std::string& first, const std::string& second)
{
    HANDLE one = OpenForQuery(first);
    HANDLE other = OpenForQuery(second);
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    const bool same = IdentifyFile(one, a) && IdentifyFile(other, b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    if (one != INVALID_HANDLE_VALUE) CloseHandle(one);
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    return same;
}

#else

namespace fs = std::filesystem;

namespace {

bool CopyReplacing(const std::string& from, const std::string& to)
{
    std::error_code error;
    return fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, error) && !error;
}

}  // namespace

bool IsRegularFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::path(path), error);
}

bool FileSizeOf(const std::string& path, uint64_t& size)
{
    std::error_code error;
    if (!fs::is_regular_file(fs::path(path), error)) return false;
    const uintmax_t length = fs::file_size(fs::path(path), error);
    if (error) return false;
    size = length;
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::rename(fs::path(from), fs::path(to), error);
    if (!error) return true;
    std::remove(from.c_str());
    return false;
}

bool IsSameFile(const std::string& first, const std::string& second)
{
    std::error_code error;
    return fs::equivalent(fs::path(first), fs::path(second), error) && !error;
}

#endif

std::string PathInFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

ReadStatus ReadWholeFile(const std::string& path, Bytes& bytes, size_t maxBytes)
{
    bytes.clear();
    if (!IsRegularFile(path)) return ReadStatus::CannotOpen;

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

bool CopyFileReplacing(const std::string& from, const std::string& to) { return CopyReplacing(from, to); }

}  // namespace varlin
