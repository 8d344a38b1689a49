// The member chain of a BIOS image, its layout as the rebuild edits it and
// its logo slot: members lie inside the image in order without overlapping,
// the run ends where its room begins, the stock-logo rule reads every member
// without crashing or hanging, and a new logo that fits, put in place of the
// old one (the members after it moved), passes the check of every rebuild.
#include <algorithm>

#include "award/AwardImage.h"
#include "award/BiosCode.h"
#include "award/MemberChain.h"
#include "award/MemberData.h"
#include "award/MemberReplacement.h"
#include "logo/LogoSlotFinder.h"
#include "logo/RebuildCheck.h"
#include "platform/support/ByteOrder.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

namespace {

// A stored logo member of 24 bytes of data, made by hand.
Bytes NewLogo(Bytes& payload)
{
    payload.assign(24, 0);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 37);
    const std::string name = "new.bmp";
    Bytes member(2 + 25 + name.size(), 0);
    member[0] = static_cast<uint8_t>(25 + name.size());
    uint8_t* h = &member[2];
    std::copy_n("-lh0-", 5, h);
    WriteLe32(h + 5, static_cast<uint32_t>(payload.size()));
    WriteLe32(h + 9, static_cast<uint32_t>(payload.size()));
    WriteLe16(h + 15, kLogoLoadSegment);
    h[17] = 0x20;
    h[18] = 1;
    h[19] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), h + 20);
    WriteLe16(h + 20 + name.size(), LhaCrc16(payload));
    uint8_t sum = 0;
    for (size_t i = 0; i < member[0]; ++i) sum = static_cast<uint8_t>(sum + h[i]);
    member[1] = sum;
    member.insert(member.end(), payload.begin(), payload.end());
    member.push_back(0x00);
    return member;
}

void CheckLayout(const AwardImage& layout, size_t size)
{
    uint64_t previousEnd = 0;
    for (const ImageMember& member : layout.members) {
        FUZZ_EXPECT(member.End() <= size);
        FUZZ_EXPECT(member.offset >= previousEnd);
        previousEnd = member.End();
    }
    if (!layout.HasRun()) return;
    FUZZ_EXPECT(layout.runCount > 0 && layout.runFirst + layout.runCount <= layout.members.size());
    uint64_t at = layout.runStart;
    for (size_t i = layout.runFirst; i < layout.runFirst + layout.runCount; ++i) {
        FUZZ_EXPECT(layout.members[i].offset == at);
        at = layout.members[i].End();
    }
    FUZZ_EXPECT(at == layout.runEnd);
    FUZZ_EXPECT(layout.runEnd <= layout.roomEnd && layout.roomEnd <= size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> image(data, size);
    const MemberChain chain = WalkMemberChain(image);
    uint64_t previous = 0;
    for (size_t i = 0; i < chain.members.size(); ++i) {
        FUZZ_EXPECT(chain.members[i].offset < size);
        FUZZ_EXPECT(i == 0 || chain.members[i].offset > previous);
        previous = chain.members[i].offset;
    }

    const AwardImage layout = ReadAwardImage(image);
    CheckLayout(layout, size);
    ExamineBiosCode(image, layout);

    RunSlot slot;
    if (FindRunSlot(layout, layout.FindMember(kLogoLoadSegment), slot) == SlotVerdict::Ok) {
        Bytes payload;
        const Bytes archive = NewLogo(payload);
        Bytes rebuilt;
        const bool fits = archive.size() <= LargestArchive(layout, slot);
        FUZZ_EXPECT(ReplaceMember(image, layout, slot, archive, rebuilt) == fits);
        if (fits) {
            const std::string problem = CheckRebuiltImage(image, rebuilt, {slot, archive, payload});
            // Bytes moved into the last 64 KiB may hold a checksum table of
            // their own: the check refuses such an image, as it must.
            FUZZ_EXPECT(problem.empty() || problem.starts_with("the boot block would find its checksum table"));
        }
    }

    fuzz::QuietMessages messages;
    CLogoSlotFinder finder(messages);
    uint32_t length = 0;
    const int32_t slotOffset = finder.FindLogoSlot(fuzz::WriteInputFile("bios.bin", data, size), length);
    if (slotOffset >= 0) FUZZ_EXPECT(static_cast<uint64_t>(slotOffset) + length <= size);
    return 0;
}
