#include "platform/support/PartialFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
int OpenExclusive(const char* path) { return _open(path, kCreateFlags, kCreateMode); }
std::FILE* StreamOf(int descriptor) { return _fdopen(descriptor, "w+b"); }
void CloseDescriptor(int descriptor) { _close(descriptor); }
// The C library's _getpid is missing from the oldest Windows C libraries.
unsigned long ProcessNumber() { return GetCurrentProcessId(); }
#else
int OpenExclusive(const char* path) { return open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
std::FILE* StreamOf(int descriptor) { return fdopen(descriptor, "w+b"); }
void CloseDescriptor(int descriptor) { close(descriptor); }
unsigned long ProcessNumber() { return static_cast<unsigned long>(getpid()); }
#endif

// A few names may be taken at once (a build writes its work copy and then
// the user's file); each slot holds one, written before it is marked used.
constexpr int kTemporarySlots = 8;
constexpr size_t kLongestListedPath = 1024;

struct TemporarySlot {
    std::atomic<bool> used{false};
    char path[kLongestListedPath] = {};
};

TemporarySlot temporaryFiles[kTemporarySlots];

int ListTemporaryFile(const std::string& path)
{
    if (path.size() >= kLongestListedPath) return -1;
    for (int i = 0; i < kTemporarySlots; ++i) {
        TemporarySlot& slot = temporaryFiles[i];
        if (slot.used.load()) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.used.store(true);
        return i;
    }
    return -1;
}

void UnlistTemporaryFile(int slot)
{
    if (slot >= 0) temporaryFiles[slot].used.store(false);
}

// Tags differ between processes, between calls and between runs started in
// the same second; the exclusive create settles any collision that is left.
unsigned long NextTag()
{
    static std::atomic<unsigned long> calls{0};
    unsigned long tag = ProcessNumber() * 2654435761ul;
    tag ^= static_cast<unsigned long>(std::time(nullptr)) * 40503ul;
    tag ^= static_cast<unsigned long>(std::clock()) << 7;
    tag += calls.fetch_add(1) * 0x9E3779B9ul;
    return tag & 0xFFFFFFul;
}

}  // namespace

std::string TemporaryNameBeside(const std::string& target) { return target + FormatText(".partial-%06lx", NextTag()); }

PartialFile::PartialFile(const std::string& target) : target(target)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        path = TemporaryNameBeside(target);
        const int descriptor = OpenExclusive(path.c_str());
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        slot = ListTemporaryFile(path);
        stream = StreamOf(descriptor);
        if (stream == nullptr) {
            CloseDescriptor(descriptor);
            std::remove(path.c_str());
            UnlistTemporaryFile(slot);
            slot = -1;
        }
        return;
    }
    path.clear();
}

PartialFile::~PartialFile()
{
    if (stream != nullptr) std::fclose(stream);
    if (!placed && !path.empty()) std::remove(path.c_str());
    UnlistTemporaryFile(slot);
}

bool PartialFile::Write(const uint8_t* data, size_t size)
{
    return stream != nullptr && (size == 0 || std::fwrite(data, 1, size, stream) == size);
}

bool PartialFile::Close()
{
    if (stream == nullptr) return false;
    const bool closed = std::fclose(stream) == 0;
    stream = nullptr;
    return closed;
}

bool PartialFile::ReplaceTarget()
{
    if (stream != nullptr || path.empty()) return false;
    placed = MoveFileReplacing(path, target);
    UnlistTemporaryFile(slot);
    slot = -1;
    if (!placed) path.clear();  // the move has removed it
    return placed;
}

void RemoveTemporaryFiles()
{
    for (TemporarySlot& slot : temporaryFiles) {
        if (slot.used.exchange(false)) std::remove(slot.path);
    }
}

}  // namespace varlin
