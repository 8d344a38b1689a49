#include "lha/LhaWriter.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr char kCannotOpenArchive[] = "Can't open temporary file";
constexpr char kUnableToWrite[] = "Unable to write";
constexpr char kCannotWrite[] = "Can't write";
constexpr char kOutOfMemory[] = "Out of memory.";
constexpr char kNameTooLong[] = "The member name is longer than 230 bytes.";
static_assert(kMaxMemberNameLength == 230);

constexpr size_t kStoredPieceSize = 8192;
constexpr int kEndOfArchive = 0;

LhaResult Failure(LhaFailure failure, std::string message) { return {failure, std::move(message)}; }

}  // namespace

uint32_t LhaPackingRatio(uint32_t packedSize, uint32_t originalSize)
{
    uint32_t a = packedSize;
    uint32_t b = originalSize;
    for (int i = 0; i < 3; ++i) {
        if (a <= 429496729U) {
            a *= 10;
        } else {
            b /= 10;
        }
    }
    if (a + b / 2 < a) {
        a /= 2;
        b /= 2;
    }
    return b == 0 ? 0 : (a + b / 2) / b;
}

LhaWriter::LhaWriter(LhaProgressSink& sink) : sink(sink), run(sink), coder(run, sink), encoder(run, coder)
{
    LhaResetState();
}

void LhaWriter::LhaResetState()
{
    std::memcpy(loadAddressText, kDefaultLoadAddressText, sizeof kDefaultLoadAddressText);
    encoder.ReleaseWorkAreas();
}

bool LhaWriter::SetLoadAddressText(std::string_view text)
{
    if (text.size() >= sizeof loadAddressText) return false;
    std::memcpy(loadAddressText, text.data(), text.size());
    loadAddressText[text.size()] = '\0';
    return true;
}

LhaResult LhaWriter::LhaWriteArchive(std::string& inputPath, const std::string& archivePath,
                                     const std::string& memberName)
{
    if (memberName.size() > kMaxMemberNameLength) {
        return Failure(LhaFailure::NameTooLong, kNameTooLong);
    }
    run.archive = std::fopen(archivePath.c_str(), "wb");
    if (run.archive == nullptr) {
        std::remove(archivePath.c_str());
        return Failure(LhaFailure::CannotOpenArchive, kCannotOpenArchive);
    }
    run.crcTable.BuildTable();

    LhaResult result = AddMember(inputPath, memberName, ParseLoadAddress(loadAddressText));
    if (result.failure == LhaFailure::CannotOpenInput) {
        inputPath.clear();  // callers look at the path to learn that nothing was packed
    } else if (result) {
        std::fputc(kEndOfArchive, run.archive);
        if (std::ferror(run.archive) != 0) result = Failure(LhaFailure::CannotWrite, kCannotWrite);
    }
    if (std::fclose(run.archive) != 0 && result) result = Failure(LhaFailure::CannotWrite, kCannotWrite);
    run.archive = nullptr;
    CloseInput();
    lastBlockBufferSize = coder.BlockBufferSize();
    encoder.ReleaseWorkAreas();
    return result;
}

LhaResult LhaWriter::AddMember(const std::string& inputPath, const std::string& memberName, LoadAddress loadAddress)
{
    run.input = std::fopen(inputPath.c_str(), "rb");
    if (run.input == nullptr) {
        const std::string message = FormatText("Can't open %s", inputPath.c_str());
        sink.WriteError(message + "\n");
        return Failure(LhaFailure::CannotOpenInput, message);
    }
    sink.WriteOutput(FormatText("Adding %s ", memberName.c_str()));

    // The header goes out first as a placeholder and is written again once
    // the sizes and the CRC are known.
    const long headerPosition = std::ftell(run.archive);
    header.Start(memberName);
    if (!header.Write(run.archive, run.fileCrc)) return Failure(LhaFailure::UnableToWrite, kUnableToWrite);
    const long dataPosition = std::ftell(run.archive);

    run.StartMember();
    if (!encoder.Encode()) return Failure(LhaFailure::OutOfMemory, kOutOfMemory);
    if (run.notCompressible && !StoreInput(dataPosition)) {
        return Failure(LhaFailure::UnableToWrite, kUnableToWrite);
    }
    if (std::ferror(run.input) != 0) {
        return Failure(LhaFailure::CannotReadInput, FormatText("Can't read %s", inputPath.c_str()));
    }
    run.fileCrc = run.crc;
    CloseInput();

    header.Fill(run.packedSize, run.originalSize, loadAddress);
    std::fseek(run.archive, headerPosition, SEEK_SET);
    if (!header.Write(run.archive, run.fileCrc)) return Failure(LhaFailure::UnableToWrite, kUnableToWrite);
    std::fseek(run.archive, 0, SEEK_END);

    const uint32_t ratio = LhaPackingRatio(run.packedSize, run.originalSize);
    sink.WriteOutput(FormatText(" %u.%u%%\n", ratio / 10, ratio % 10));
    return {};
}

// The member is stored unchanged: the copy overwrites whatever compressed
// bytes were written, which are never more than the input.
bool LhaWriter::StoreInput(long dataPosition)
{
    header.MarkStored();
    std::rewind(run.input);
    std::fseek(run.archive, dataPosition, SEEK_SET);
    run.originalSize = 0;
    run.crc = 0;
    std::array<uint8_t, kStoredPieceSize> piece;
    for (;;) {
        const size_t got = std::fread(piece.data(), 1, piece.size(), run.input);
        if (got == 0) break;
        if (std::fwrite(piece.data(), 1, got, run.archive) != got) return false;
        run.CountInput(piece.data(), got);
    }
    run.packedSize = run.originalSize;
    return true;
}

void LhaWriter::CloseInput()
{
    if (run.input != nullptr) std::fclose(run.input);
    run.input = nullptr;
}

LhaWriter& ProgramLhaWriter()
{
    static LhaWriter writer;
    return writer;
}

}  // namespace varlin
