#include "cli/ImageReport.h"

#include <cstdio>

#include "award/BiosId.h"
#include "award/AwardRecords.h"
#include "logo/LogoSlotFinder.h"

namespace varlin::cli {

namespace {

// BIOS images are at most a few MiB; anything near this is no BIOS image.
constexpr size_t kImageReadLimit = 64u << 20;

MemberCheck CheckMember(const Bytes& image, const ImageMember& member)
{
    const MemberData data = DecodeMemberData(image, {member.offset, member.header});
    return {data.decoded, data.CrcHolds(member.header), data.computedCrc, data.problem};
}

// The logo slot as the build finds it, or why there is none.
void DescribeSlot(ImageReport& report)
{
    const AwardImage& layout = report.layout;
    const int64_t logo = layout.FindMember(kLogoLoadSegment);
    const SlotVerdict verdict = FindRunSlot(layout, logo, report.slot);
    report.hasSlot = verdict == SlotVerdict::Ok;
    if (!report.hasSlot) {
        if (const char* refusal = SlotRefusal(layout.walkEnd)) {
            report.refusal = refusal;
        } else if (verdict != SlotVerdict::NoRun) {
            report.refusal = SlotRefusal(ChainEnd::LogoNotLast);
        }
        return;
    }
    report.membersAfter = MembersMovedBy(layout, report.slot);
    report.freeAfter = layout.roomEnd - layout.runEnd;
    report.largestArchive = LargestArchive(layout, report.slot);
}

}  // namespace

ImageReport DescribeImage(const std::string& path, const Bytes& image)
{
    ImageReport report;
    report.path = path;
    report.size = image.size();
    report.layout = ReadAwardImage(image);
    for (const ImageMember& member : report.layout.members) report.checks.push_back(CheckMember(image, member));
    report.code = ExamineBiosCode(image, report.layout);
    report.logoFormat = ReadLogoFormat(image, report.layout);
    report.checksums = report.layout.checksums;
    DescribeSlot(report);
    report.smallLogo = ReadSmallLogo(image, report.layout);
    if (image.size() >= award::kSizeCodeFromEnd)
        report.sizeCode = static_cast<char>(image[image.size() - award::kSizeCodeFromEnd]);
    report.romSize = static_cast<uint32_t>(SizeCodeRomUnits(image)) * 0x10000;
    if (image.size() >= award::kBiosIdFromEnd) report.biosId = BiosIdText(&image[image.size() - award::kBiosIdFromEnd]);
    return report;
}

bool ReadImageForTool(const std::string& path, Bytes& image)
{
    const ReadStatus status = ReadWholeFile(path, image, kImageReadLimit);
    if (status == ReadStatus::Ok) return true;
    std::fprintf(
        stderr, "%s\n",
        status == ReadStatus::TooLarge ? "This is no BIOS image: it is larger than 64 MiB." : "Cannot open BIOS file!");
    return false;
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (char c : text) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

}  // namespace varlin::cli
