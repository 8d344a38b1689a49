// What inspect, extract and the rebuild read out of a BIOS image beyond its
// layout: every member's data decoded and checked, those past the gap too,
// a logo read as our payload or as a stock logo, a small logo in the
// classic form, the logo's format, the small logo with its picture and the
// boot block's checksums.  A member that decodes gives exactly its original
// size; a stock logo that decodes encodes back to as many bytes as it came
// from, a classic small logo to the very bytes; a small logo's picture has
// a pixel for every pixel of its size.
#include "award/AwardImage.h"
#include "award/BootBlockChecksums.h"
#include "logo/LogoFormat.h"
#include "award/MemberData.h"
#include "logo/PayloadContents.h"
#include "logo/SmallLogoMember.h"
#include "logo/StockLogo.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> image(data, size);
    const AwardImage layout = ReadAwardImage(image);
    for (const ImageMember& member : layout.members) {
        const MemberData contents = DecodeMemberData(image, {member.offset, member.header});
        if (!contents.decoded) continue;
        FUZZ_EXPECT(contents.bytes.size() == member.header.originalSize);
        PayloadContents payload;
        ReadPayloadContents(contents.bytes, payload);
        StockLogoFormat format;
        StockPicture picture;
        if (RecogniseStockLogo(contents.bytes, format) && DecodeStockLogo(contents.bytes, picture)) {
            FUZZ_EXPECT(EncodeStockLogo(picture).size() == contents.bytes.size());
        }
        ClassicSmallLogo classic;
        if (DecodeClassicSmallLogo(contents.bytes, classic)) {
            FUZZ_EXPECT(EncodeClassicSmallLogo(classic) == contents.bytes);
        }
    }
    CurrentLogoFormat(image);
    const SmallLogoMember smallLogo = ReadSmallLogo(image, layout);
    SmallLogoText(smallLogo);
    if (smallLogo.Readable()) {
        const StockPicture shown = SmallLogoPicture(smallLogo);
        FUZZ_EXPECT(shown.pixels.size() == static_cast<size_t>(smallLogo.Width()) * smallLogo.Height());
        SmallLogoAsBitmap(shown);
    }
    const BootBlockChecksums checksums = ReadBootBlockChecksums(image);
    Bytes repaired(data, data + size);
    RepairBootBlockChecksums(repaired, checksums);
    BootBlockChecksumTargets(repaired, checksums);
    return 0;
}
