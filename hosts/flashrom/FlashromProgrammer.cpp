#include "hosts/flashrom/FlashromProgrammer.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

extern "C" {
#include <libflashrom.h>
}

namespace varlin {

namespace {

constexpr char kPhysicalMemory[] = "/dev/mem";
constexpr off_t kSegmentAddress = 0xF0000;
constexpr size_t kSegmentSize = 0x10000;
constexpr char kRegionName[] = "varlin";
constexpr char kFoundPrefix[] = "Found ";
constexpr char kChipNameStart[] = "flash chip \"";

// The probe's results as libflashrom numbers them.
constexpr int kProbeFoundNone = 2;
constexpr int kProbeFoundSeveral = 3;

// libflashrom's log has no room for a context of ours: the one programmer
// there can be at a time takes it.
FlashromProgrammer* logTarget = nullptr;

__attribute__((format(printf, 2, 0))) int ForwardLog(enum flashrom_log_level level, const char* format,
                                                     va_list arguments)
{
    // The debugging levels come a byte at a time; nothing of ours reads them.
    if (level > FLASHROM_MSG_INFO || logTarget == nullptr) return 0;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    logTarget->Log(level, text);
    return 0;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The segment as the board shows it now, in physical memory.
bool ReadPhysicalSegment(Bytes& segment, std::string& error)
{
    segment.assign(kSegmentSize, 0);
    const int descriptor = open(kPhysicalMemory, O_RDONLY | O_CLOEXEC);
    const ssize_t got = descriptor < 0 ? -1 : pread(descriptor, segment.data(), segment.size(), kSegmentAddress);
    const int cause = errno;
    if (descriptor >= 0) close(descriptor);
    if (got == static_cast<ssize_t>(kSegmentSize)) return true;
    error = std::string("Couldn't read the BIOS segment (64 KiB at 0xF0000) from ") + kPhysicalMemory + ": " +
            (got < 0 ? std::strerror(cause) : "it ended early") +
            ". Run as root, or give the segment as a file with --segment FILE.";
    return false;
}

// The segment as a file keeps it: those 64 KiB and nothing else.
bool ReadSegmentFile(const std::string& path, Bytes& segment, std::string& error)
{
    const ReadStatus status = ReadWholeFile(path, segment, kSegmentSize);
    if (status == ReadStatus::Ok && segment.size() == kSegmentSize) return true;
    error = "Couldn't read the BIOS segment from " + path + ": " +
            (status == ReadStatus::CannotOpen ? "no such file can be opened"
                                              : "it must hold exactly the 64 KiB the BIOS shows at 0xF0000") +
            ".";
    return false;
}

// Passes each file the programmer's parameters name (the dummy
// programmer's image=FILE) through `change`; the parameters with the
// changed names.
std::string EachFileNamedBy(const std::string& programmer, const std::function<std::string(std::string_view)>& change)
{
    constexpr std::string_view kDummy = "dummy:";
    constexpr std::string_view kImage = "image=";
    if (!programmer.starts_with(kDummy)) return programmer;
    std::string changed(kDummy);
    const std::string_view parameters = std::string_view(programmer).substr(kDummy.size());
    for (size_t at = 0; at <= parameters.size();) {
        const size_t end = std::min(parameters.find(',', at), parameters.size());
        const std::string_view parameter = parameters.substr(at, end - at);
        if (at != 0) changed += ',';
        if (parameter.starts_with(kImage)) {
            changed += std::string(kImage) + change(parameter.substr(kImage.size()));
        } else {
            changed += parameter;
        }
        at = end + 1;
    }
    return changed;
}

}  // namespace

std::unique_ptr<FlashromProgrammer> FlashromProgrammer::Open(const ProgrammerChoice& choice, Report report,
                                                             std::string& error)
{
    std::unique_ptr<FlashromProgrammer> board(new FlashromProgrammer(std::move(report)));
    const bool segmentRead = choice.segmentFile.empty() ? ReadPhysicalSegment(board->segment, error)
                                                        : ReadSegmentFile(choice.segmentFile, board->segment, error);
    if (!segmentRead) return nullptr;
    if (logTarget != nullptr) {
        error = "flashrom drives one programmer at a time.";
        return nullptr;
    }
    if (!board->Start(choice, error)) return nullptr;
    return board;
}

bool FlashromProgrammer::Start(const ProgrammerChoice& choice, std::string& error)
{
    logTarget = this;
    flashrom_set_log_callback(ForwardLog);
    if (flashrom_init(1) != 0) {
        error = "libflashrom could not start.";
        return false;
    }
    initialised = true;

    const size_t colon = choice.programmer.find(':');
    programmerName = choice.programmer.substr(0, colon);
    const std::string parameters = colon == std::string::npos ? "" : choice.programmer.substr(colon + 1);
    // libflashrom 1.3 leaves the handle unset: only the result tells.
    if (flashrom_programmer_init(&programmer, programmerName.c_str(), parameters.c_str()) != 0) {
        error = "flashrom could not start the programmer \"" + programmerName + "\".";
        return false;
    }
    programmerStarted = true;

    chipsFound.clear();
    const int probe = flashrom_flash_probe(&context, programmer, choice.chip.empty() ? nullptr : choice.chip.c_str());
    if (probe != 0) {
        context = nullptr;
        if (probe == kProbeFoundSeveral) {
            error = "Several flash chip definitions match the chip on " + programmerName + " (" + Joined(chipsFound) +
                    "): name the one fitted with --chip.";
        } else if (probe == kProbeFoundNone && !choice.chip.empty()) {
            error = "flashrom found no " + choice.chip + " on " + programmerName + ".";
        } else if (probe == kProbeFoundNone) {
            error = "flashrom found no flash chip on " + programmerName + ".";
        } else {
            error = "flashrom could not probe for the flash chip on " + programmerName + ".";
        }
        return false;
    }
    chipName = !chipsFound.empty() ? chipsFound.back() : choice.chip;
    const size_t size = flashrom_flash_getsize(context);
    if (size == 0 || size > UINT32_MAX) {
        error = "flashrom found the chip " + chipName + " but no size it could have.";
        return false;
    }
    chipSize = static_cast<uint32_t>(size);
    chipImage.assign(chipSize, 0xFF);
    // Only the region written is verified; the update itself reads back
    // every byte it must keep.
    flashrom_flag_set(context, FLASHROM_FLAG_VERIFY_AFTER_WRITE, true);
    flashrom_flag_set(context, FLASHROM_FLAG_VERIFY_WHOLE_CHIP, false);
    return true;
}

FlashromProgrammer::~FlashromProgrammer()
{
    if (context != nullptr) flashrom_flash_release(context);
    // The dummy programmer saves its chip to its image only here.
    if (programmerStarted && flashrom_programmer_shutdown(programmer) != 0) {
        Log(FLASHROM_MSG_ERROR, "The programmer did not shut down cleanly.\n");
    }
    if (initialised) flashrom_shutdown();
    if (logTarget == this) logTarget = nullptr;
}

void FlashromProgrammer::Log(int level, const char* text)
{
    if (level == FLASHROM_MSG_INFO) {
        // "Found SST flash chip "SST25VF040" (512 kB, SPI) " names a match.
        const std::string_view piece(text);
        const size_t nameStart = piece.find(kChipNameStart);
        if (piece.starts_with(kFoundPrefix) && nameStart != std::string_view::npos) {
            const size_t first = nameStart + sizeof kChipNameStart - 1;
            const size_t end = piece.find('"', first);
            if (end != std::string_view::npos) chipsFound.emplace_back(piece.substr(first, end - first));
        }
        return;
    }
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c != '\n') {
            pendingLine.push_back(*c);
            continue;
        }
        const size_t start = pendingLine.find_first_not_of(' ');
        if (start != std::string::npos && report) report(pendingLine.substr(start));
        pendingLine.clear();
    }
}

std::vector<std::string> FlashromProgrammer::FilesNamedBy(const std::string& programmer)
{
    std::vector<std::string> files;
    EachFileNamedBy(programmer, [&files](std::string_view file) {
        files.emplace_back(file);
        return std::string(file);
    });
    return files;
}

std::string FlashromProgrammer::WithAbsoluteFiles(const std::string& programmer)
{
    return EachFileNamedBy(programmer, [](std::string_view file) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(file), error);
        return error ? std::string(file) : absolute.lexically_normal().string();
    });
}

bool FlashromProgrammer::ReadSegment(uint8_t* out, size_t size)
{
    if (size != segment.size()) return false;
    std::memcpy(out, segment.data(), size);
    return true;
}

bool FlashromProgrammer::InRegion(uint32_t offset, uint32_t length, const std::function<bool()>& operation)
{
    flashrom_layout* layout = nullptr;
    if (flashrom_layout_new(&layout) != 0) return false;
    bool done = flashrom_layout_add_region(layout, offset, offset + length - 1, kRegionName) == 0 &&
                flashrom_layout_include_region(layout, kRegionName) == 0;
    if (done) {
        flashrom_layout_set(context, layout);
        done = operation();
        flashrom_layout_set(context, nullptr);
    }
    flashrom_layout_release(layout);
    return done;
}

bool FlashromProgrammer::ReadChip(uint32_t offset, uint8_t* buffer, uint32_t length)
{
    if (length == 0) return true;
    if (uint64_t{offset} + length > chipSize) return false;
    return InRegion(offset, length, [&] {
        if (flashrom_image_read(context, chipImage.data(), chipImage.size()) != 0) return false;
        std::memcpy(buffer, chipImage.data() + offset, length);
        return true;
    });
}

bool FlashromProgrammer::WriteChip(uint32_t offset, const uint8_t* data, uint32_t length)
{
    if (length == 0) return true;
    if (uint64_t{offset} + length > chipSize) return false;
    // Only the region's bytes count: flashrom keeps the rest of the chip,
    // also inside the erase blocks the region shares with its neighbours.
    std::fill(chipImage.begin(), chipImage.end(), 0xFF);
    std::memcpy(chipImage.data() + offset, data, length);
    return InRegion(offset, length,
                    [&] { return flashrom_image_write(context, chipImage.data(), chipImage.size(), nullptr) == 0; });
}

}  // namespace varlin
