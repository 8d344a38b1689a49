// The BIOS image rebuild: the chosen picture, packed as the logo member, in
// place of the old logo of a copy of the BIOS image (or after its last
// member where it has none), the members after it moved along.
#include <cstdio>

#include "award/BiosCode.h"
#include "award/BootBlockChecksums.h"
#include "lha/LhaWriter.h"
#include "logo/BuildSteps.h"
#include "logo/LogoBuild.h"
#include "logo/LogoSlotFinder.h"
#include "logo/PalettePreparation.h"
#include "logo/PictureMessages.h"
#include "logo/RebuildCheck.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace buildstep {

void RemoveWorkingFiles()
{
    std::remove(kPayloadFileName);
    std::remove(kArchiveFileName);
}

std::vector<Dithering> DitheringsToTry(DitheringChoice choice)
{
    switch (choice) {
    case DitheringChoice::FloydSteinberg:
        return {Dithering::FloydSteinberg};
    case DitheringChoice::Ordered:
        return {Dithering::Ordered};
    case DitheringChoice::None:
        return {Dithering::None};
    case DitheringChoice::Auto:
        break;
    }
    return {Dithering::FloydSteinberg, Dithering::Ordered, Dithering::None};
}

}  // namespace buildstep

namespace {

using namespace buildstep;

constexpr char kCannotOpenWorkCopy[] = "Can not open BIOS file ";
constexpr char kCannotWriteOutput[] = "Can not write BIOS file ";
constexpr char kNotOpenFile[] = "Not open file %s";
constexpr char kNoLogoShown[] =
    "This BIOS shows no full-screen logo: the image holds none, and its code never looks for one.\n"
    "A logo added to it would not be shown, and some boards like it no longer start once one is "
    "added, so none is added.";

bool SamePath(const std::string& a, const std::string& b) { return a == b || IsSameFile(a, b); }

}  // namespace

struct LogoBuild::ImagePlan {
    bool readable = false;
    Bytes source;
    AwardImage layout;
    bool biosShowsStockLogos = false;
    LogoFormat current;
    LogoTarget target;
    SlotVerdict slotVerdict = SlotVerdict::NoRun;
    RunSlot slot;

    // The source, its layout, what its BIOS shows and where the logo goes;
    // nothing is said here, the build says it in its own order.
    ImagePlan(const std::string& biosPath, LogoFormatChoice choice)
    {
        readable = ReadWholeFile(biosPath, source, kBiosReadLimit) == ReadStatus::Ok;
        if (!readable) {
            target = ChooseLogoTargetWithoutImage(choice);
            return;
        }
        layout = ReadAwardImage(source);
        biosShowsStockLogos = ExamineBiosCode(source, layout).showsStockLogos;
        current = ReadLogoFormat(source, layout);
        target = ChooseLogoTarget(current, biosShowsStockLogos, choice);
        slotVerdict = FindRunSlot(layout, layout.FindMember(kLogoLoadSegment), slot);
    }

    bool SlotFound() const { return readable && slotVerdict == SlotVerdict::Ok; }

    // The message the Part's walk gives where there is no slot, or null
    // where it says nothing.
    const char* SlotProblem() const
    {
        if (!readable) return kCannotOpenBios;
        if (const char* refusal = SlotRefusal(layout.walkEnd)) return refusal;
        if (slotVerdict == SlotVerdict::NotInRun || slotVerdict == SlotVerdict::FixedFollows)
            return SlotRefusal(ChainEnd::LogoNotLast);
        return nullptr;
    }
};

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

bool LogoBuild::MakeStockLogoArchive(const LogoJob& job, const LogoTarget& target, uint64_t room,
                                     StockPicture& intended)
{
    RgbImage picture;
    if (!LoadStockPicture(job.picturePath, picture)) return false;
    const PlacedPicture placed = PlaceInLogo(picture, target.format);
    const std::string memberName(FileNamePart(job.picturePath));
    const std::vector<Dithering> ditherings = DitheringsToTry(job.settings.dithering);
    lastRebuild.ditheringAutomatic = ditherings.size() > 1;
    for (const Dithering dithering : ditherings) {
        intended = ReduceForLogo(placed, {target.colours, dithering});
        if (!WriteWholeFile(kPayloadFileName, EncodeStockLogo(intended))) {
            std::remove(kPayloadFileName);
            messages.ShowMessage(std::string(text::kCannotCreatePrefix) + kPayloadFileName);
            return false;
        }
        if (!MakeLogoArchive(kPayloadFileName, kArchiveFileName, memberName, job.settings)) {
            RemoveWorkingFiles();
            return false;
        }
        uint64_t size = 0;
        FileSizeOf(kArchiveFileName, size);
        lastRebuild.dithering.push_back({dithering, size});
        if (size <= room) break;
    }
    return true;
}

bool LogoBuild::BuildBiosWithLogo(const LogoJob& job)
{
    logoHeaderWord = 0;
    lastRebuild = RebuildReport{};
    lastSmallLogo = SmallLogoReport{};
    const bool smallLogo = !job.smallLogoPath.empty();
    Bytes image;
    if (job.picturePath.empty()) {
        if (ReadWholeFile(job.biosPath, image, kBiosReadLimit) != ReadStatus::Ok) {
            messages.ShowMessage(kCannotOpenBios);
            return false;
        }
    } else {
        // A small logo that cannot go into the image stops the build before
        // the full-screen logo's work.
        if (smallLogo && !SmallLogoFitsSource(job)) return false;
        if (!BuildFullScreenLogo(job, image)) return false;
    }
    if (smallLogo) {
        Bytes withSmallLogo;
        if (!ReplaceSmallLogo(job, image, withSmallLogo)) {
            RemoveWorkingFiles();  // the full-screen logo's too
            return false;
        }
        image.swap(withSmallLogo);
        // A small logo of another size before the new logo moved it.
        const RunSlot& small = lastSmallLogo.slot;
        if (!job.picturePath.empty() && lastRebuild.memberOffset > small.offset) {
            lastRebuild.memberOffset = lastRebuild.memberOffset + lastSmallLogo.memberLength - small.oldLength;
        }
    }
    return WriteImage(job, image);
}

bool LogoBuild::BuildFullScreenLogo(const LogoJob& job, Bytes& image)
{
    const ImagePlan plan(job.biosPath, job.settings.logoFormat);
    const LogoTarget& target = plan.target;
    lastRebuild.logo = target;
    if (target.refused && plan.layout.HasRun()) {
        messages.ShowMessage(kNoLogoShown);
        return false;
    }
    if (plan.SlotFound()) lastRebuild.largestArchive = LargestArchive(plan.layout, plan.slot);

    // A stock image's BIOS shows only a logo in its own format: ours would
    // leave the board with none.
    buildingStockLogo = target.stock;
    StockPicture intended;
    if (target.stock) {
        const uint64_t room = plan.SlotFound() ? lastRebuild.largestArchive : UINT64_MAX;
        if (!MakeStockLogoArchive(job, target, room, intended)) return false;
    } else {
        if (!WriteLogoPayload(job.picturePath, job.settings)) return false;
        if (!MakeLogoArchive(kPayloadFileName, kArchiveFileName, std::string(FileNamePart(job.picturePath)),
                             job.settings)) {
            RemoveWorkingFiles();
            return false;
        }
    }

    if (!plan.SlotFound()) {
        if (const char* problem = plan.SlotProblem()) messages.ShowMessage(problem);
        RemoveWorkingFiles();
        return false;
    }
    return PlaceArchive(job, plan, target.stock ? &intended : nullptr, image);
}

bool LogoBuild::PlaceArchive(const LogoJob& job, const ImagePlan& plan, const StockPicture* intended, Bytes& image)
{
    Bytes archive;
    Bytes payload;
    if (ReadWholeFile(kArchiveFileName, archive) != ReadStatus::Ok ||
        ReadWholeFile(packedPayloadPath, payload) != ReadStatus::Ok) {
        messages.ShowMessage(kFileOpenError);
        return false;
    }

    // The new image, in memory; the archive must leave at least one 0xFF
    // byte after the run, so that the run ends where it did.
    const std::string& workPath = job.workImagePath;
    if (!ReplaceMember(plan.source, plan.layout, plan.slot, archive, image)) {
        std::remove(workPath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(kPictureTooBig);
        return false;
    }
    lastRebuild.slot = plan.slot;
    lastRebuild.memberOffset = plan.slot.offset;
    lastRebuild.memberLength = archive.size();
    lastRebuild.membersMoved = MembersMovedBy(plan.layout, plan.slot);
    lastRebuild.checksumsBefore = plan.layout.checksums;
    lastRebuild.checksumsAfter = ReadBootBlockChecksums(image);
    lastRebuild.boardWarning = BoardWarning(plan.current, plan.biosShowsStockLogos, plan.target, payload.size());

    // Nothing is written until the image has proved whole.
    const std::string problem = CheckRebuiltImage(plan.source, image, {plan.slot, archive, payload, intended});
    if (!problem.empty()) {
        std::remove(workPath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(FormatText(kCheckFailed, problem.c_str()));
        return false;
    }
    return true;
}

bool LogoBuild::WriteImage(const LogoJob& job, const Bytes& image)
{
    const std::string& workPath = job.workImagePath;
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
