// The LHA archive writer: packs one file as the single member of an LHA
// archive, compressed with -lh5- or stored when compression would not make
// it smaller.  The archive is what the BIOS expects in its logo slot: a
// level-1 header whose time-stamp field holds the load address, the member
// data, and a closing zero byte.
#pragma once

#include <string>
#include <string_view>

#include "lha/BlockCoder.h"
#include "lha/LhaHeader.h"
#include "lha/LhaProgress.h"
#include "lha/LhaRunState.h"
#include "lha/Lh5Encoder.h"

namespace varlin {

enum class LhaFailure {
    None,
    NameTooLong,        // the member name does not fit the header
    CannotOpenArchive,  // "Can't open temporary file"
    CannotOpenInput,    // "Can't open " and the input path
    UnableToWrite,      // "Unable to write": a short write of the header or the stored data
    CannotWrite,        // "Can't write": the archive stream failed or could not be closed
    OutOfMemory,        // "Out of memory."
    CannotReadInput,    // "Can't read " and the input path: the member would have been cut short
};

// The outcome of one archive; on failure, the text to show the user.
struct LhaResult {
    LhaFailure failure = LhaFailure::None;
    std::string message;

    explicit operator bool() const { return failure == LhaFailure::None; }
};

inline constexpr char kDefaultLoadAddressText[] = "4000:0";

// All state of the writer.  One run is LhaResetState, then LhaWriteArchive;
// the work areas are taken during the run and released at its end.
class LhaWriter {
public:
    explicit LhaWriter(LhaProgressSink& sink = StandardLhaProgressSink());

    // Sets the load address back to "4000:0" and drops any work areas still held.
    void LhaResetState();

    // Writes the archive `archivePath` (replacing any file of that name) with
    // `inputPath` as its one member, named `memberName`.  When the input
    // cannot be opened, `inputPath` is emptied, and the archive is left empty
    // (no member, no end byte).  Every failure comes back with its message,
    // after the work areas have been released and the streams closed.
    LhaResult LhaWriteArchive(std::string& inputPath, const std::string& archivePath, const std::string& memberName);

    // The load address written into the header, "SEGMENT:OFFSET" in
    // hexadecimal, at most 9 characters; false (and unchanged) when longer.
    bool SetLoadAddressText(std::string_view text);
    const char* LoadAddressText() const { return loadAddressText; }

    // Lets tests refuse work areas, to see the writer cope with little memory.
    void SetWorkAreaGate(WorkAreaGate gate) { run.workAreaGate = std::move(gate); }

    // The block buffer of the last run (smaller when memory was short).
    size_t BlockBufferSize() const { return lastBlockBufferSize; }

private:
    LhaResult AddMember(const std::string& inputPath, const std::string& memberName, LoadAddress loadAddress);
    bool StoreInput(long dataPosition);
    void CloseInput();

    LhaProgressSink& sink;
    LhaRunState run;
    LhaMemberHeader header;
    Lh5BlockCoder coder;
    Lh5Encoder encoder;
    char loadAddressText[10] = {};
    size_t lastBlockBufferSize = 0;
};

// The packed size in tenths of a per cent of the original size, rounded to
// nearest, in 32-bit arithmetic that cannot overflow.
uint32_t LhaPackingRatio(uint32_t packedSize, uint32_t originalSize);

// The program's one writer, reporting on stdout and stderr, and the two
// calls the logo build makes on it.
LhaWriter& ProgramLhaWriter();

inline void LhaResetState() { ProgramLhaWriter().LhaResetState(); }

inline LhaResult LhaWriteArchive(std::string& inputPath, const std::string& archivePath, const std::string& memberName)
{
    return ProgramLhaWriter().LhaWriteArchive(inputPath, archivePath, memberName);
}

}  // namespace varlin
