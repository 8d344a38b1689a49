// Helpers of the archive writer's tests: a sink that keeps the progress
// lines, packing bytes through a real writer on real files, and reading an
// archive back field by field.
#pragma once

#include <cstdint>
#include <string>

#include "lha/LhaProgress.h"
#include "lha/LhaWriter.h"
#include "platform/support/Files.h"
#include "tests/support/TempDir.h"

namespace varlin::test {

class RecordingProgressSink final : public LhaProgressSink {
public:
    void WriteOutput(std::string_view text) override { output += text; }
    void WriteError(std::string_view text) override { error += text; }

    std::string output;
    std::string error;
};

// The archive read back by the published level-1 layout.
struct ParsedArchive {
    bool ok = false;  // the layout holds together: sizes, checksum, end byte
    std::string problem;
    uint8_t headerSize = 0;
    std::string method;
    uint32_t packedSize = 0;
    uint32_t originalSize = 0;
    uint16_t loadOffset = 0;
    uint16_t loadSegment = 0;
    uint8_t attribute = 0;
    uint8_t level = 0;
    std::string name;
    uint16_t crc = 0;
    uint8_t operatingSystem = 0;
    uint16_t extendedHeaderSize = 0;
    Bytes data;
};

ParsedArchive ParseArchive(const Bytes& archive);

// CRC-16 as LHA archives use it, computed bit by bit (independent of the
// writer's table).
uint16_t ReferenceCrc16(const Bytes& bytes);

struct PackedFile {
    LhaResult result;
    Bytes archive;
    RecordingProgressSink sink;
    std::string inputPathAfter;
};

struct PackOptions {
    std::string memberName = "logo.bmp";
    std::string loadAddress = kDefaultLoadAddressText;
    WorkAreaGate gate;
};

// Writes `input` to a file in `dir`, packs it with a fresh writer and reads
// the archive back.
PackedFile Pack(const TempDir& dir, const Bytes& input, const PackOptions& options = {});

// An archive of one member around a ready stream, built here byte by byte
// (not by the writer), so that a stream from the block coder alone can go
// to the independent decoders.
Bytes WrapInArchive(const Bytes& stream, const Bytes& original, const std::string& method = "-lh5-");

// Runs the installed decoders (lha, 7z, bsdtar) on the archive: each must
// pass its own CRC test and print exactly `expected`.  Returns what went
// wrong, or an empty text.
std::string CheckWithDecoders(const std::string& archivePath, const Bytes& expected);

// The bits of `bytes`, most significant first, as '0' and '1'.
std::string BitString(const Bytes& bytes);

// Deterministic pseudo-random bytes.
Bytes RandomBytes(size_t size, uint32_t seed);

}  // namespace varlin::test
