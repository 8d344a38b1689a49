#include "cli/ImageReport.h"

#include <cstdio>

#include "award/BiosId.h"
#include "award/AwardRecords.h"
#include "logo/LogoSlotFinder.h"

namespace varlin::cli {

namespace {

// BIOS images are at most a few MiB; anything near this is no BIOS image.
constexpr size_t kImageReadLimit = 64u << 20;

MemberCheck CheckMember(const Bytes& image, const ChainMember& member)
{
    const MemberData data = DecodeMemberData(image, member);
    return {data.decoded, data.CrcHolds(member.header), data.computedCrc, data.problem};
}

}  // namespace

ImageReport DescribeImage(const std::string& path, const Bytes& image)
{
    ImageReport report;
    report.path = path;
    report.size = image.size();
    report.chain = WalkMemberChain(image);
    for (const ChainMember& member : report.chain.members) report.checks.push_back(CheckMember(image, member));
    report.logoFormat = CurrentLogoFormat(image);
    if (const char* refusal = SlotRefusal(report.chain.end)) report.refusal = refusal;
    report.checksums = ReadBootBlockChecksums(image);
    report.hasSlot = report.chain.end == ChainEnd::FreeSpace || report.chain.end == ChainEnd::LogoLast;
    if (report.hasSlot) {
        report.slotOffset = report.chain.endOffset;
        if (report.chain.end == ChainEnd::LogoLast)
            report.oldLength = report.chain.members.back().header.ArchiveLength();
        report.freeAfter = FreeSpaceAt(image, report.slotOffset + report.oldLength, report.checksums);
    }
    if (image.size() >= award::kSizeCodeFromEnd)
        report.sizeCode = static_cast<char>(image[image.size() - award::kSizeCodeFromEnd]);
    report.romSize = static_cast<uint32_t>(SizeCodeRomUnits(image)) * 0x10000;
    if (image.size() >= award::kBiosIdFromEnd) report.biosId = BiosIdText(&image[image.size() - award::kBiosIdFromEnd]);
    return report;
}

uint64_t LargestArchive(const ImageReport& report)
{
    const uint64_t run = report.oldLength + report.freeAfter;
    return run == 0 ? 0 : run - 1;
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
