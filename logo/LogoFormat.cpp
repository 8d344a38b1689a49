#include "logo/LogoFormat.h"

#include <algorithm>

#include "award/MemberChain.h"
#include "award/MemberData.h"
#include "logo/PayloadContents.h"
#include "platform/support/Files.h"

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

LogoFormat CurrentLogoFormat(std::span<const uint8_t> image)
{
    LogoFormat format;
    const MemberChain chain = WalkMemberChain(image);
    const auto logo = std::find_if(chain.members.begin(), chain.members.end(),
                                   [](const ChainMember& member) { return member.header.IsLogo(); });
    if (logo == chain.members.end()) return format;
    const MemberData data = DecodeMemberData(image, *logo);
    PayloadContents payload;
    if (!data.CrcHolds(logo->header)) {
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

std::string LogoFormatText(const LogoFormat& format)
{
    if (format.kind == LogoFormatKind::Stock) return StockFormatText(format.stock);
    return NameOf(format.kind).text;
}

const char* LogoFormatWord(LogoFormatKind kind) { return NameOf(kind).word; }

LogoTarget ChooseLogoTarget(const LogoFormat& current, LogoFormatChoice choice)
{
    LogoTarget target;
    const bool imageIsStock = current.kind == LogoFormatKind::Stock;
    target.stock = choice == LogoFormatChoice::Stock || (choice == LogoFormatChoice::FollowImage && imageIsStock);
    target.format = imageIsStock ? current.stock : kCommonStockLogo;
    return target;
}

LogoTarget ChooseLogoTargetForFile(const std::string& biosPath, LogoFormatChoice choice)
{
    Bytes image;
    LogoFormat current;
    if (ReadWholeFile(biosPath, image, kImageReadLimit) == ReadStatus::Ok) current = CurrentLogoFormat(image);
    return ChooseLogoTarget(current, choice);
}

}  // namespace varlin
