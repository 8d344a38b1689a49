// The small logo's part of a build: the picture, in the form and size of
// the image's own small logo, packed as the member loaded at 4002:0 and put
// in the old one's place, the members after it moved along, the image
// checked as a full-screen logo's is.
#include <cstdio>

#include "lha/LhaWriter.h"
#include "logo/BuildSteps.h"
#include "logo/LogoBuild.h"
#include "logo/LogoSlotFinder.h"
#include "logo/PictureMessages.h"
#include "logo/RebuildCheck.h"
#include "logo/SmallLogoConversion.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

using namespace buildstep;

constexpr char kSmallLogoStays[] = "The small logo of this BIOS image cannot be replaced: %s.";
constexpr char kSmallLogoTooBig[] =
    "The new small logo does not fit: its member of %lu bytes is larger than the %lu bytes it may take: the old "
    "one's place and the free space after the run of members, but for the one byte that stays free.";
constexpr char kSmallLogoRole[] = "small logo";

unsigned long Number(uint64_t value) { return static_cast<unsigned long>(value); }

// Why the slot of the small logo cannot be used; null where it can.
const char* SlotProblem(SlotVerdict verdict)
{
    switch (verdict) {
    case SlotVerdict::NoRun:
        return "its members do not end in free space";
    case SlotVerdict::NotInRun:
        return "it stands apart, past the free space, where members never move";
    case SlotVerdict::FixedFollows:
        return "a member after it may not move (the system BIOS)";
    case SlotVerdict::Ok:
        break;
    }
    return nullptr;
}

}  // namespace

struct LogoBuild::SmallLogoPlan {
    AwardImage layout;
    SmallLogoMember logo;
    SlotVerdict verdict = SlotVerdict::NoRun;
    RunSlot slot;

    explicit SmallLogoPlan(std::span<const uint8_t> image)
    {
        layout = ReadAwardImage(image);
        logo = ReadSmallLogo(image, layout);
        if (logo.index >= 0) verdict = FindRunSlot(layout, logo.index, slot);
    }

    // What the user is told where the small logo cannot be replaced; empty
    // where it can.
    std::string Problem() const
    {
        if (const char* refusal = SlotRefusal(layout.walkEnd)) return refusal;
        if (!logo.Readable()) return SmallLogoProblem(logo);
        if (const char* problem = SlotProblem(verdict)) return FormatText(kSmallLogoStays, problem);
        return {};
    }
};

bool LogoBuild::AcceptSmallLogo(const LogoJob& job, const SmallLogoPlan& plan)
{
    const std::string problem = plan.Problem();
    if (!problem.empty()) {
        messages.ShowMessage(problem);
        return false;
    }
    return CheckSmallLogoPicture(job.smallLogoPath, plan.logo.Width(), plan.logo.Height(), messages);
}

bool LogoBuild::SmallLogoFitsSource(const LogoJob& job)
{
    Bytes source;
    // An image that cannot be read is the full-screen step's to report.
    if (ReadWholeFile(job.biosPath, source, kBiosReadLimit) != ReadStatus::Ok) return true;
    return AcceptSmallLogo(job, SmallLogoPlan(source));
}

bool LogoBuild::PackSmallLogo(const Bytes& data, const std::string& memberName, Bytes& archive)
{
    if (!WriteWholeFile(kPayloadFileName, data)) {
        std::remove(kPayloadFileName);
        messages.ShowMessage(std::string(text::kCannotCreatePrefix) + kPayloadFileName);
        return false;
    }
    LhaWriter& writer = ProgramLhaWriter();
    writer.LhaResetState();
    writer.SetLoadAddressText(FormatText("%X:0", static_cast<unsigned>(kSmallLogoLoadSegment)));
    std::string input = kPayloadFileName;
    const LhaResult result = writer.LhaWriteArchive(input, kArchiveFileName, memberName);
    writer.LhaResetState();  // the next archive is a logo at 4000:0 again
    if (!result) {
        messages.ShowMessage(result.message);
        return false;
    }
    if (ReadWholeFile(kArchiveFileName, archive) != ReadStatus::Ok) {
        messages.ShowMessage(kFileOpenError);
        return false;
    }
    return true;
}

bool LogoBuild::ReplaceSmallLogo(const LogoJob& job, const Bytes& source, Bytes& rebuilt)
{
    const SmallLogoPlan plan(source);
    if (!AcceptSmallLogo(job, plan)) return false;
    RgbImage picture;
    if (!LoadPictureFile(job.smallLogoPath, PictureKindForBuild(job.smallLogoPath) == PictureKind::Bitmap, picture)) {
        return false;
    }

    // A stock small logo is dithered as a full-screen one; the classic form
    // lights each cell's pixels the one way.
    const uint64_t room = LargestArchive(plan.layout, plan.slot);
    const std::string memberName(FileNamePart(job.smallLogoPath));
    const std::vector<Dithering> ditherings = plan.logo.form == SmallLogoForm::Stock
                                                  ? DitheringsToTry(job.settings.dithering)
                                                  : std::vector<Dithering>{Dithering::FloydSteinberg};
    NewSmallLogo made;
    Bytes archive;
    for (const Dithering dithering : ditherings) {
        made = MakeSmallLogo(picture, plan.logo, dithering);
        if (!PackSmallLogo(made.data, memberName, archive)) {
            RemoveWorkingFiles();
            return false;
        }
        lastSmallLogo.dithering = dithering;
        if (archive.size() <= room) break;
    }
    // As the full-screen step does, no work image of an earlier build stays
    // to be taken for this one's.
    if (!ReplaceMember(source, plan.layout, plan.slot, archive, rebuilt)) {
        std::remove(job.workImagePath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(FormatText(kSmallLogoTooBig, Number(archive.size()), Number(room)));
        return false;
    }
    lastSmallLogo.built = true;
    lastSmallLogo.form = SmallLogoText(plan.logo);
    lastSmallLogo.stock = made.stock;
    lastSmallLogo.slot = plan.slot;
    lastSmallLogo.memberLength = archive.size();
    lastSmallLogo.membersMoved = MembersMovedBy(plan.layout, plan.slot);
    lastSmallLogo.checksumsBefore = plan.layout.checksums;
    lastSmallLogo.checksumsAfter = ReadBootBlockChecksums(rebuilt);

    const std::string problem = CheckRebuiltImage(
        source, rebuilt, {plan.slot, archive, made.data, made.stock ? &made.shown : nullptr, kSmallLogoRole});
    if (!problem.empty()) {
        rebuilt.clear();
        std::remove(job.workImagePath.c_str());
        RemoveWorkingFiles();
        messages.ShowMessage(FormatText(kCheckFailed, problem.c_str()));
        return false;
    }
    return true;
}

}  // namespace varlin
