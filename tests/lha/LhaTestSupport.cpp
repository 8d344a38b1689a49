#include "tests/lha/LhaTestSupport.h"

#include <random>

#include "platform/support/ByteOrder.h"
#include "tests/support/RunCommand.h"

namespace varlin::test {

ParsedArchive ParseArchive(const Bytes& archive)
{
    ParsedArchive parsed;
    if (archive.size() < 2) {
        parsed.problem = "shorter than a header";
        return parsed;
    }
    parsed.headerSize = archive[0];
    const size_t h = parsed.headerSize;
    if (h < 25 || archive.size() < 2 + h) {
        parsed.problem = "header size out of range";
        return parsed;
    }
    const uint8_t* header = archive.data() + 2;
    unsigned sum = 0;
    for (size_t i = 0; i < h; ++i) sum += header[i];
    parsed.method.assign(reinterpret_cast<const char*>(header), 5);
    parsed.packedSize = ReadLe32(header + 5);
    parsed.originalSize = ReadLe32(header + 9);
    parsed.loadOffset = ReadLe16(header + 13);
    parsed.loadSegment = ReadLe16(header + 15);
    parsed.attribute = header[17];
    parsed.level = header[18];
    const size_t n = header[19];
    if (n + 25 != h) {
        parsed.problem = "name length does not match the header size";
        return parsed;
    }
    parsed.name.assign(reinterpret_cast<const char*>(header + 20), n);
    parsed.crc = ReadLe16(header + 20 + n);
    parsed.operatingSystem = header[22 + n];
    parsed.extendedHeaderSize = ReadLe16(header + 23 + n);
    const size_t dataStart = 2 + h;
    if (archive.size() != dataStart + parsed.packedSize + 1) {
        parsed.problem = "archive length is not header + packed size + end byte";
        return parsed;
    }
    parsed.data.assign(archive.begin() + static_cast<std::ptrdiff_t>(dataStart), archive.end() - 1);
    if ((sum & 0xFF) != archive[1]) {
        parsed.problem = "header checksum";
    } else if (archive.back() != 0) {
        parsed.problem = "no end byte";
    } else {
        parsed.ok = true;
    }
    return parsed;
}

uint16_t ReferenceCrc16(const Bytes& bytes)
{
    unsigned crc = 0;
    for (const uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return static_cast<uint16_t>(crc);
}

PackedFile Pack(const TempDir& dir, const Bytes& input, const PackOptions& options)
{
    PackedFile packed;
    std::string inputPath = dir.Write("input.bin", input);
    const std::string archivePath = dir.File("tmp_b_pic");
    LhaWriter writer(packed.sink);
    writer.LhaResetState();
    writer.SetLoadAddressText(options.loadAddress);
    writer.SetWorkAreaGate(options.gate);
    packed.result = writer.LhaWriteArchive(inputPath, archivePath, options.memberName);
    packed.inputPathAfter = inputPath;
    packed.archive = ReadFile(archivePath);
    return packed;
}

Bytes WrapInArchive(const Bytes& stream, const Bytes& original, const std::string& method)
{
    const std::string name = "member.bin";
    Bytes header(25 + name.size(), 0);
    std::copy(method.begin(), method.end(), header.begin());
    WriteLe32(header.data() + 5, static_cast<uint32_t>(stream.size()));
    WriteLe32(header.data() + 9, static_cast<uint32_t>(original.size()));
    WriteLe16(header.data() + 15, 0x4000);
    header[17] = 0x20;
    header[18] = 0x01;
    header[19] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), header.begin() + 20);
    WriteLe16(header.data() + 20 + name.size(), ReferenceCrc16(original));
    header[22 + name.size()] = 0x20;
    unsigned sum = 0;
    for (const uint8_t byte : header) sum += byte;

    Bytes archive = header;
    archive.insert(archive.begin(), {static_cast<uint8_t>(header.size()), static_cast<uint8_t>(sum)});
    archive.insert(archive.end(), stream.begin(), stream.end());
    archive.push_back(0);
    return archive;
}

std::string CheckWithDecoders(const std::string& archivePath, const Bytes& expected)
{
    const std::string expectedText(expected.begin(), expected.end());
    struct Run {
        const char* program;
        std::vector<std::string> arguments;
        bool printsMember;
    };
    const Run runs[] = {
        {"lha", {"-t", archivePath}, false},     {"lha", {"-pq", archivePath}, true},
        {"7z", {"t", archivePath}, false},       {"7z", {"x", "-so", archivePath}, true},
        {"bsdtar", {"-xOf", archivePath}, true},
    };
    std::string problems;
    for (const Run& run : runs) {
        const CommandResult result = RunProgram(run.program, run.arguments);
        std::string command = run.program;
        for (const std::string& argument : run.arguments) command += " " + argument;
        if (result.exitCode != 0) {
            problems += command + ": exit " + std::to_string(result.exitCode) + " " + result.err + "\n";
        } else if (run.printsMember && result.out != expectedText) {
            problems += command + ": printed " + std::to_string(result.out.size()) + " bytes that differ from the " +
                        std::to_string(expected.size()) + " expected\n";
        }
    }
    return problems;
}

std::string BitString(const Bytes& bytes)
{
    std::string bits;
    for (const uint8_t byte : bytes) {
        for (int i = 7; i >= 0; --i) bits += ((byte >> i) & 1) != 0 ? '1' : '0';
    }
    return bits;
}

Bytes RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator() >> 24);
    return bytes;
}

}  // namespace varlin::test
