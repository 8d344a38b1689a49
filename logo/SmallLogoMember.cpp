#include "logo/SmallLogoMember.h"

#include "award/MemberData.h"
#include "logo/BitmapFile.h"
#include "logo/StockConversion.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr char kNoSmallLogo[] =
    "This BIOS image holds no small logo: no member is loaded at 4002:0, so there is none to replace.";
constexpr char kUnreadableSmallLogo[] =
    "The small logo of this BIOS image (the member loaded at 4002:0) cannot be replaced: %s.";

struct FormName {
    SmallLogoForm form;
    const char* word;
};

constexpr FormName kFormNames[] = {
    {SmallLogoForm::None, "none"},
    {SmallLogoForm::Classic, "classic"},
    {SmallLogoForm::Stock, "stock"},
    {SmallLogoForm::Unreadable, "unreadable"},
};

}  // namespace

int SmallLogoMember::Width() const
{
    if (form == SmallLogoForm::Classic) return classic.Width();
    return form == SmallLogoForm::Stock ? stock.width : 0;
}

int SmallLogoMember::Height() const
{
    if (form == SmallLogoForm::Classic) return classic.Height();
    return form == SmallLogoForm::Stock ? stock.height : 0;
}

SmallLogoMember ReadSmallLogo(std::span<const uint8_t> image, const AwardImage& layout)
{
    SmallLogoMember logo;
    logo.index = layout.FindMember(kSmallLogoLoadSegment);
    if (logo.index < 0) return logo;
    const ImageMember& member = layout.members[static_cast<size_t>(logo.index)];
    MemberData data = DecodeMemberData(image, {member.offset, member.header});
    logo.form = SmallLogoForm::Unreadable;
    if (!data.decoded) {
        logo.problem = "its data cannot be decoded (" + data.problem + ")";
    } else if (!data.CrcHolds(member.header)) {
        logo.problem = "its data does not decode to its CRC-16";
    } else if (RecogniseStockLogo(data.bytes, logo.stock)) {
        logo.form = SmallLogoForm::Stock;
    } else if (DecodeClassicSmallLogo(data.bytes, logo.classic)) {
        logo.form = SmallLogoForm::Classic;
    } else {
        logo.problem = "its data is in neither the classic form of character cells nor the stock format";
    }
    logo.data = std::move(data.bytes);
    return logo;
}

std::string SmallLogoProblem(const SmallLogoMember& logo)
{
    if (logo.form == SmallLogoForm::None) return kNoSmallLogo;
    if (!logo.Readable()) return FormatText(kUnreadableSmallLogo, logo.problem.c_str());
    return {};
}

std::string SmallLogoText(const SmallLogoMember& logo)
{
    switch (logo.form) {
    case SmallLogoForm::Classic:
        return FormatText("classic %ux%u cells (%dx%d)", static_cast<unsigned>(logo.classic.columns),
                          static_cast<unsigned>(logo.classic.rows), logo.Width(), logo.Height());
    case SmallLogoForm::Stock:
        return StockFormatText(logo.stock);
    case SmallLogoForm::Unreadable:
        return "unreadable: " + logo.problem;
    case SmallLogoForm::None:
        break;
    }
    return "none";
}

const char* SmallLogoFormWord(SmallLogoForm form)
{
    for (const FormName& name : kFormNames) {
        if (name.form == form) return name.word;
    }
    return "none";
}

StockPicture SmallLogoPicture(const SmallLogoMember& logo)
{
    StockPicture picture;
    if (logo.form == SmallLogoForm::Stock) {
        DecodeStockLogo(logo.data, picture);
    } else if (logo.form == SmallLogoForm::Classic) {
        picture = ClassicSmallLogoPicture(logo.classic);
    }
    return picture;
}

StockPicture ClassicSmallLogoPicture(const ClassicSmallLogo& logo)
{
    StockPicture picture;
    picture.format = {StockVariant::FourBit, static_cast<uint16_t>(logo.Width()), static_cast<uint16_t>(logo.Height()),
                      false};
    picture.palette.assign(kStandardVgaPalette.begin(), kStandardVgaPalette.end());
    picture.pixels = ClassicSmallLogoPixels(logo);
    return picture;
}

Bytes SmallLogoAsBitmap(const StockPicture& picture)
{
    if (picture.palette.size() > 16) return StockPictureAsBitmap(picture);
    return EncodeFourBitBitmap(StockPictureAsIndexed(picture));
}

}  // namespace varlin
