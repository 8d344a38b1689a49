// The check every rebuilt image passes before it is written, on a logo
// followed by members: a sound rebuild passes, and each kind of damage is
// found and named.
#include <gtest/gtest.h>

#include <functional>

#include "award/MemberReplacement.h"
#include "logo/RebuildCheck.h"
#include "tests/support/BiosImages.h"

namespace varlin {
namespace {

using test::MakeMember;

constexpr size_t kSystemApart = 0x20000;

Bytes Contents(size_t size, uint8_t seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
    return bytes;
}

// The ROM extension, the logo, a ROM extension and an option ROM after it,
// the system BIOS apart at 0x20000 and the checksum table at 0x37000.
Bytes Source()
{
    Bytes image;
    for (const Bytes& member : {MakeMember({"extension.rom", 0, 0, 0x4001, 0x20, 1, 0, Contents(0x900, 1)}),
                                MakeMember({"logo.bmp", 0, 0, 0x4000, 0x20, 1, 0, Contents(0x700, 2)}),
                                MakeMember({"awardext.rom", 0, 0, 0x4080, 0x20, 1, 0, Contents(0x500, 3)}),
                                MakeMember({"pcirom.bin", 0, 0, 0x0800, 0x20, 1, 0, Contents(0x300, 4)})}) {
        image.insert(image.end(), member.begin(), member.end());
    }
    image.resize(0x40000, 0xFF);
    const Bytes system = MakeMember({"original.tm", 0, 0, 0x5000, 0x20, 1, 0, Contents(0x4000, 5)});
    std::copy(system.begin(), system.end(), image.begin() + kSystemApart);
    std::fill(image.end() - 0x2000, image.end(), uint8_t{0x90});
    test::AddBootBlockTable(image, 0x37000, 0x400);
    return image;
}

struct Rebuild {
    Bytes source = Source();
    AwardImage layout = ReadAwardImage(source);
    RunSlot slot;
    Bytes payload;
    Bytes archive;
    Bytes image;

    explicit Rebuild(size_t payloadSize)
        : payload(Contents(payloadSize, 9)), archive(MakeMember({"new.bmp", 0, 0, 0x4000, 0x20, 1, 0, payload}))
    {
        EXPECT_EQ(FindRunSlot(layout, 1, slot), SlotVerdict::Ok);
        EXPECT_TRUE(ReplaceMember(source, layout, slot, archive, image));
    }

    std::string Check() const { return CheckRebuiltImage(source, image, {slot, archive, payload}); }
};

TEST(RebuildCheckTest, ALogoOfEitherSizeWithItsMembersMovedPasses)
{
    for (const size_t size : {0x1000u, 0x100u}) {
        const Rebuild rebuild(size);
        EXPECT_EQ(rebuild.Check(), "") << size;
    }
}

TEST(RebuildCheckTest, EveryKindOfDamageIsFoundAndNamed)
{
    struct Case {
        const char* what;
        size_t payloadSize;
        std::function<void(Rebuild&)> damage;
        const char* problem;  // how the message starts
    };
    const Case cases[] = {
        {"a byte of a moved member", 0x1000,
         [](Rebuild& r) { r.image[r.layout.members[3].offset + 0x900 + 0x40] ^= 0x01; },
         "member 3 (pcirom.bin), moved from 0x"},
        {"a byte of the member past the gap", 0x1000, [](Rebuild& r) { r.image[kSystemApart + 0x100] ^= 0x01; },
         "byte 0x20100 outside the run of members differs from the source"},
        {"a byte left where the run shrank", 0x100, [](Rebuild& r) { r.image[r.layout.runEnd - 1] = 0x00; },
         "byte 0x189A, after the run, is not free space"},
        {"the members after the logo in another order", 0x1000,
         [](Rebuild& r) {
             const size_t first = r.slot.offset + r.archive.size();
             const Bytes ext(r.source.begin() + static_cast<long>(r.layout.members[2].offset),
                             r.source.begin() + static_cast<long>(r.layout.members[2].End()));
             const Bytes pci(r.source.begin() + static_cast<long>(r.layout.members[3].offset),
                             r.source.begin() + static_cast<long>(r.layout.members[3].End()));
             std::copy(pci.begin(), pci.end(), r.image.begin() + static_cast<long>(first));
             std::copy(ext.begin(), ext.end(), r.image.begin() + static_cast<long>(first + pci.size()));
         },
         "member 3 is at 0x"},
        {"a logo that does not decode to its payload", 0x1000, [](Rebuild& r) { r.payload[5] ^= 0x01; },
         "the new logo member does not decode to the logo payload"},
        {"a stale checksum", 0x1000, [](Rebuild& r) { r.image[0x37FFE] ^= 0x01; },
         "the boot block's main checksum at 0x37FFE is "},
        {"a checksum table the boot block would find first", 0x1000,
         [](Rebuild& r) { std::copy_n("*BBSS*", 6, r.image.begin() + 0x30000); },
         "the boot block would find its checksum table at 0x30000 instead of 0x37000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rebuild rebuild(c.payloadSize);
        ASSERT_EQ(rebuild.Check(), "");
        c.damage(rebuild);
        const std::string problem = rebuild.Check();
        EXPECT_TRUE(problem.starts_with(c.problem)) << problem;
    }
}

}  // namespace
}  // namespace varlin
