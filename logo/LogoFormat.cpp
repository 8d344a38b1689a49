#include "logo/LogoFormat.h"

#include <algorithm>

#include "award/BiosCode.h"
#include "award/MemberData.h"
#include "logo/PayloadContents.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

// BIOS images are a few hundred KiB; anything near this is no BIOS image.
constexpr size_t kImageReadLimit = 64u << 20;

struct KindName {
    LogoFormatKind kind;
    const char* word;
    const char* text;
};

constexpr KindName kKindNames[] = {
    {LogoFormatKind::None, "none", "none"},
    {LogoFormatKind::PayloadBitmap, "payload-bitmap", "our payload (bitmap)"},
    {LogoFormatKind::PayloadJpeg, "payload-jpeg", "our payload (JPEG)"},
    {LogoFormatKind::Stock, "stock", "stock"},
    {LogoFormatKind::Other, "other", "other (neither our payload nor the stock format)"},
    {LogoFormatKind::Broken, "broken", "unreadable (its data does not decode to its CRC-16)"},
};

const KindName& NameOf(LogoFormatKind kind)
{
    return *std::find_if(std::begin(kKindNames), std::end(kKindNames),
                         [kind](const KindName& name) { return name.kind == kind; });
}

}  // namespace

LogoFormat ReadLogoFormat(std::span<const uint8_t> image, const AwardImage& layout)
{
    LogoFormat format;
    const int64_t logo = layout.FindMember(kLogoLoadSegment);
    if (logo < 0) return format;
    const ImageMember& member = layout.members[static_cast<size_t>(logo)];
    const MemberData data = DecodeMemberData(image, {member.offset, member.header});
    PayloadContents payload;
    if (!data.CrcHolds(member.header)) {
        format.kind = LogoFormatKind::Broken;
    } else if (RecogniseStockLogo(data.bytes, format.stock)) {
        format.kind = LogoFormatKind::Stock;
    } else if (ReadPayloadContents(data.bytes, payload)) {
        format.kind =
            payload.kind == PayloadPicture::Jpeg ? LogoFormatKind::PayloadJpeg : LogoFormatKind::PayloadBitmap;
    } else {
        format.kind = LogoFormatKind::Other;
    }
    return format;
}

LogoFormat CurrentLogoFormat(std::span<const uint8_t> image) { return ReadLogoFormat(image, ReadAwardImage(image)); }

std::string LogoFormatText(const LogoFormat& format)
{
    if (format.kind == LogoFormatKind::Stock) return StockFormatText(format.stock);
    return NameOf(format.kind).text;
}

const char* LogoFormatWord(LogoFormatKind kind) { return NameOf(kind).word; }

LogoTarget ChooseLogoTarget(const LogoFormat& current, bool biosShowsStockLogos, LogoFormatChoice choice)
{
    LogoTarget target;
    const bool imageIsStock = current.kind == LogoFormatKind::Stock;
    const bool imageHasLogo = current.kind != LogoFormatKind::None;
    switch (choice) {
    case LogoFormatChoice::FollowImage:
        target.stock = imageIsStock || (!imageHasLogo && biosShowsStockLogos);
        target.refused = !imageHasLogo && !biosShowsStockLogos;
        break;
    case LogoFormatChoice::Stock:
        target.stock = true;
        break;
    case LogoFormatChoice::Payload:
        break;
    }
    target.format = imageIsStock ? current.stock : kCommonStockLogo;
    target.colours = imageIsStock && current.stock.paletteBlock ? StockColours::Chosen : StockColours::Standard;
    return target;
}

LogoTarget ChooseLogoTargetForImage(std::span<const uint8_t> image, LogoFormatChoice choice)
{
    const AwardImage layout = ReadAwardImage(image);
    return ChooseLogoTarget(ReadLogoFormat(image, layout), ExamineBiosCode(image, layout).showsStockLogos, choice);
}

LogoTarget ChooseLogoTargetForFile(const std::string& biosPath, LogoFormatChoice choice)
{
    Bytes image;
    if (ReadWholeFile(biosPath, image, kImageReadLimit) != ReadStatus::Ok) return ChooseLogoTargetWithoutImage(choice);
    return ChooseLogoTargetForImage(image, choice);
}

LogoTarget ChooseLogoTargetWithoutImage(LogoFormatChoice choice)
{
    return ChooseLogoTarget({LogoFormatKind::Other, {}}, false, choice);
}

std::string BoardWarning(const LogoFormat& current, bool biosShowsStockLogos, const LogoTarget& target,
                         uint64_t payloadSize)
{
    // Boards that show no logo were seen to stop at power-on once a logo
    // member unpacking to 100 KB or more was added; 70 KB or less did no harm.
    constexpr uint64_t kHarmlessSize = 70 * 1000;
    const bool imageHasLogo = current.kind != LogoFormatKind::None;
    if (!imageHasLogo && !biosShowsStockLogos) {
        std::string warning =
            "this BIOS shows no full-screen logo (its code never looks for one): the board will not show the new logo";
        if (payloadSize > kHarmlessSize) {
            warning += FormatText(
                ", and some boards like it no longer start once a logo member that unpacks to 100 KB or more is "
                "added (this one unpacks to %lu KB; 70 KB or less has done no harm)",
                static_cast<unsigned long>((payloadSize + 999) / 1000));
        }
        return warning;
    }
    if (!target.stock && (current.kind == LogoFormatKind::Stock || (!imageHasLogo && biosShowsStockLogos))) {
        return "this BIOS shows full-screen logos in the stock format: it may not show one in our payload format";
    }
    return {};
}

}  // namespace varlin
