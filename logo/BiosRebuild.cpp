// The BIOS image rebuild: the chosen picture, packed as the logo member, in
// the logo slot of a copy of the BIOS image.
#include <cstdio>

#include "lha/LhaWriter.h"
#include "award/BootBlockChecksums.h"
#include "logo/LogoBuild.h"
#include "logo/LogoSlotFinder.h"
#include "logo/PalettePreparation.h"
#include "logo/RebuildCheck.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr char kFileOpenError[] = "File open error!";
constexpr char kCannotOpenWorkCopy[] = "Can not open BIOS file ";
constexpr char kCannotWriteOutput[] = "Can not write BIOS file ";
constexpr char kNotOpenFile[] = "Not open file %s";
constexpr char kPictureTooBig[] = "Picture file is too big, \nplease selected a small one!";
constexpr char kCheckFailed[] = "The new BIOS image failed its check: %s.\nNothing was written.";

// BIOS images are a few hundred KiB; anything near this is no BIOS image.
constexpr size_t kBiosReadLimit = 64u << 20;

void RemoveWorkingFiles()
{
    std::remove(kPayloadFileName);
    std::remove(kArchiveFileName);
}

bool SamePath(const std::string& a, const std::string& b) { return a == b || IsSameFile(a, b); }

}  // namespace

bool LogoBuild::MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath,
                                const std::string& memberName, const LogoSettings& settings)
{
    LhaResetState();
    std::string packed = payloadPath;
    packedPayloadPath.clear();
    if (settings.showPostMessage != 0 && pictureIsBitmap == 1 && !buildingStockLogo) {
        if (!PreparePalette(payloadPath, kPreparedPaletteFileName)) {
            messages.ShowMessage(FormatText(kNotOpenFile, kPreparedPaletteFileName));
            return false;
        }
        packed = kPreparedPaletteFileName;
    }
    const LhaResult result = LhaWriteArchive(packed, archivePath, memberName);
    if (!result) {
        messages.ShowMessage(result.message);
        return false;
    }
    packedPayloadPath = packed;
    return true;
}

bool LogoBuild::BuildBiosWithLogo(const LogoJob& job)
{
    const std::string& biosPath = job.biosPath;
    const std::string& picturePath = job.picturePath;
    logoHeaderWord = 0;
    // A stock image's BIOS shows only a logo in its own format: ours would
    // leave the board with none.
    const LogoTarget target = ChooseLogoTargetForFile(biosPath, job.settings.logoFormat);
    buildingStockLogo = target.stock;
    StockPicture intended;
    if (!(target.stock ? WriteStockLogoPayload(picturePath, target.format, intended)
                       : WriteLogoPayload(picturePath, job.settings)))
        return false;

    const std::string memberName(FileNamePart(picturePath));
    if (!MakeLogoArchive(kPayloadFileName, kArchiveFileName, memberName, job.settings)) {
        RemoveWorkingFiles();
        return false;
    }

    uint32_t oldLength = 0;
    CLogoSlotFinder finder(messages);
    const int32_t slot = finder.FindLogoSlot(biosPath, oldLength);
    if (slot < 0) {
        RemoveWorkingFiles();
        return false;
    }

    Bytes archive;
    Bytes payload;
    if (ReadWholeFile(kArchiveFileName, archive) != ReadStatus::Ok ||
        ReadWholeFile(packedPayloadPath, payload) != ReadStatus::Ok) {
        messages.ShowMessage(kFileOpenError);
        return false;
    }

    // The new image, in memory: the source with the old logo wiped to 0xFF.
    const std::string& workPath = job.workImagePath;
    Bytes source;
    if (ReadWholeFile(biosPath, source, kBiosReadLimit) != ReadStatus::Ok ||
        static_cast<uint64_t>(slot) + oldLength > source.size()) {
        messages.ShowMessage(kCannotOpenWorkCopy + workPath);
        return false;
    }
    Bytes image = source;
    std::fill_n(image.begin() + slot, oldLength, uint8_t{0xFF});

    // The new logo must leave at least one 0xFF byte after it, so that it
    // stays the last member of the chain.
    lastRebuild = RebuildReport{};
    lastRebuild.logo = target;
    lastRebuild.checksumsBefore = ReadBootBlockChecksums(source);
    const uint64_t freeRun = FreeSpaceAt(image, static_cast<uint64_t>(slot), lastRebuild.checksumsBefore);
    if (freeRun == 0 || freeRun - 1 < archive.size()) {
        std::remove(workPath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(kPictureTooBig);
        return false;
    }
    std::copy(archive.begin(), archive.end(), image.begin() + slot);
    RepairBootBlockChecksums(image, lastRebuild.checksumsBefore);
    lastRebuild.checksumsAfter = ReadBootBlockChecksums(image);

    // Nothing is written until the image has proved whole.
    const std::string problem = CheckRebuiltImage(
        source, image, {static_cast<uint64_t>(slot), oldLength, archive, payload, target.stock ? &intended : nullptr});
    if (!problem.empty()) {
        std::remove(workPath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(FormatText(kCheckFailed, problem.c_str()));
        return false;
    }

    if (!ReplaceFileAtomically(workPath, image.data(), image.size())) {
        messages.ShowMessage(kCannotOpenWorkCopy + workPath);
        return false;
    }
    // The user's file is written only now, whole, so a failed build never
    // costs them what the file held before.
    if (!job.outputPath.empty() && !SamePath(job.outputPath, workPath) &&
        !ReplaceFileAtomically(job.outputPath, image.data(), image.size())) {
        messages.ShowMessage(kCannotWriteOutput + job.outputPath);
        RemoveWorkingFiles();
        return false;
    }
    RemoveWorkingFiles();
    return true;
}

}  // namespace varlin
