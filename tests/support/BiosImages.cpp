#include "tests/support/BiosImages.h"

#include <algorithm>

#include "logo/LogoSlotFinder.h"
#include "platform/ByteOrder.h"
#include "tests/support/RecordingMessagePort.h"
#include "tests/support/TempDir.h"

namespace varlin::test {

Bytes MakeMember(const MemberSpec& spec)
{
    const size_t n = spec.name.size();
    const uint8_t headerSize = static_cast<uint8_t>(25 + n);
    Bytes member(2 + headerSize, 0);
    member[0] = headerSize;
    uint8_t* h = &member[2];
    std::copy_n("-lh5-", 5, h);
    WriteLe32(h + 5, spec.packedSize);
    WriteLe32(h + 9, spec.packedSize * 2);
    WriteLe16(h + 13, spec.loadOffset);
    WriteLe16(h + 15, spec.loadSegment);
    h[17] = spec.attribute;
    h[18] = spec.level;
    h[19] = static_cast<uint8_t>(n);
    std::copy(spec.name.begin(), spec.name.end(), h + 20);
    h[22 + n] = 0x20;  // operating system; CRC and extension size stay 0
    uint8_t sum = 0;
    for (size_t i = 0; i < headerSize; ++i) sum = static_cast<uint8_t>(sum + h[i]);
    member[1] = sum;
    AppendFill(member, spec.packedSize, spec.fill);
    member.push_back(0x00);
    if (spec.loadOffset == 0 && spec.loadSegment == 0x5000) member.push_back(0x00);
    return member;
}

void AppendFill(Bytes& image, size_t count, uint8_t value) { image.insert(image.end(), count, value); }

Bytes LogoMemberOf(const std::string& imagePath)
{
    RecordingMessagePort messages;
    CLogoSlotFinder finder(messages);
    uint32_t length = 0;
    const int32_t slot = finder.FindLogoSlot(imagePath, length);
    const Bytes image = ReadFile(imagePath);
    if (slot < 0 || length == 0 || static_cast<size_t>(slot) + length > image.size()) return {};
    return Bytes(image.begin() + slot, image.begin() + slot + length);
}

Bytes CentredBitmapPayload(const Bytes& bitmapFile)
{
    // The header word takes the place of "BM".
    Bytes payload = bitmapFile;
    payload.resize(std::max<size_t>(payload.size(), 2));
    payload[0] = 0x00;
    payload[1] = 0x00;
    return payload;
}

}  // namespace varlin::test
