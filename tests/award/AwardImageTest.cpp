// The layout of an image as the rebuild edits it, the replacement of a
// member, and what the BIOS's code tells, on images assembled by hand.
#include <gtest/gtest.h>

#include <functional>

#include "award/AwardImage.h"
#include "award/BiosCode.h"
#include "award/MemberReplacement.h"
#include "tests/support/BiosImages.h"

namespace varlin {
namespace {

using test::MakeMember;
using test::MemberLayout;

constexpr size_t kImageSize = 0x40000;
constexpr size_t kSystemApart = 0x20000;
constexpr size_t kTable = 0x37000;

const MemberLayout kExtension = {"extension.rom", 0x2000, 0, 0x4001};
const MemberLayout kLogo = {"logo.bmp", 0x1000, 0, 0x4000, 0x20, 1, 0x11};
const MemberLayout kRomExtension = {"awardext.rom", 0x800, 0, 0x4080, 0x20, 1, 0x22};
const MemberLayout kOptionRom = {"pcirom.bin", 0x400, 0, 0x0800, 0x20, 1, 0x33};
const MemberLayout kSystemBios = {"original.tm", 0x8000, 0, 0x5000, 0x20, 1, 0x44};

void Append(Bytes& image, const Bytes& bytes) { image.insert(image.end(), bytes.begin(), bytes.end()); }

// A 256 KiB image: a run of the ROM extension, the logo and two members
// after it; free space; the system BIOS apart at 0x20000; the checksum
// table at 0x37000 and boot block code in the last 8 KiB.
Bytes SplitImage()
{
    Bytes image;
    for (const MemberLayout& member : {kExtension, kLogo, kRomExtension, kOptionRom}) Append(image, MakeMember(member));
    image.resize(kImageSize, 0xFF);
    const Bytes system = MakeMember(kSystemBios);
    std::copy(system.begin(), system.end(), image.begin() + kSystemApart);
    std::fill(image.end() - 0x2000, image.end(), uint8_t{0x90});
    test::AddBootBlockTable(image, kTable, 0x400);
    return image;
}

TEST(AwardImageTest, TheRunTheMembersPastTheGapAndWhatMayMove)
{
    const Bytes image = SplitImage();
    const AwardImage layout = ReadAwardImage(image);
    ASSERT_TRUE(layout.HasRun());
    ASSERT_EQ(layout.members.size(), 5u);
    EXPECT_EQ(layout.runCount, 4u);
    const size_t runEnd = MakeMember(kExtension).size() + MakeMember(kLogo).size() + MakeMember(kRomExtension).size() +
                          MakeMember(kOptionRom).size();
    EXPECT_EQ(layout.runEnd, runEnd);
    EXPECT_EQ(layout.roomEnd, kSystemApart);  // the fixed member ends the room
    EXPECT_EQ(layout.FreeAfterRun(), kSystemApart - runEnd - 1);
    const bool mayMove[] = {false, true, true, true, false};
    const bool inRun[] = {true, true, true, true, false};
    for (size_t i = 0; i < layout.members.size(); ++i) {
        EXPECT_EQ(layout.members[i].mayMove, mayMove[i]) << i;
        EXPECT_EQ(layout.members[i].inRun, inRun[i]) << i;
    }
    EXPECT_EQ(layout.members[4].offset, kSystemApart);
    EXPECT_EQ(layout.FindMember(0x4000), 1);
    EXPECT_EQ(layout.FindMember(0x5000), 4);
}

// Where the room after the run ends: the first byte that is not 0xFF, and
// never past the checksum bytes or into the boot block's last 8 KiB, even
// where they hold 0xFF.
TEST(AwardImageTest, TheRoomEndsBeforeWhatTheBootBlockOwns)
{
    struct Case {
        const char* what;
        std::function<void(Bytes&)> prepare;
        size_t roomEnd;
    };
    const Case cases[] = {
        {"data after the free space", [](Bytes& image) { image[0x30000] = 0; }, 0x30000},
        {"free space through the table page up to the checksum bytes",
         [](Bytes& image) {
             std::fill(image.begin() + 0x4000, image.end(), uint8_t{0xFF});
             const auto places = test::AddBootBlockTable(image, 0x37800, std::nullopt);
             image[places.mainAt] = 0xFF;
         },
         0x37000},
        {"free space into the boot block's code",
         [](Bytes& image) { std::fill(image.begin() + 0x4000, image.end(), uint8_t{0xFF}); }, kImageSize - 0x2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes image = MakeMember(kExtension);
        image.resize(kImageSize, 0xFF);
        std::fill(image.begin() + 0x38000, image.end(), uint8_t{0x90});
        c.prepare(image);
        const AwardImage layout = ReadAwardImage(image);
        ASSERT_TRUE(layout.HasRun());
        EXPECT_EQ(layout.roomEnd, c.roomEnd);
    }
}

TEST(AwardImageTest, HowTheWalkFromTheStartEnds)
{
    struct Case {
        const char* what;
        Bytes image;
        ChainEnd end;
        uint64_t runStart;
    };
    Bytes gapFirst(0x10000, 0xC3);  // no header's checksum holds here
    Append(gapFirst, MakeMember(kExtension));
    Bytes zeroSize = {0x00, 0x00};
    Bytes badLevel = MakeMember({"x.bin", 16, 0, 0x4001, 0x20, 2});
    Bytes noFreeSpace = MakeMember(kExtension);
    const Case cases[] = {
        {"a run 64 KiB in", gapFirst, ChainEnd::FreeSpace, 0x10000},
        {"a header of size 0", zeroSize, ChainEnd::ZeroSize, 0},
        {"a header of level 2", badLevel, ChainEnd::BadAttributes, 0},
        {"a member that ends the image", noFreeSpace, ChainEnd::RanOffEnd, 0},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        if (c.end != ChainEnd::RanOffEnd) c.image.resize(0x20000, 0xFF);
        const AwardImage layout = ReadAwardImage(c.image);
        EXPECT_EQ(layout.walkEnd, c.end);
        if (c.end == ChainEnd::FreeSpace) {
            EXPECT_EQ(layout.runStart, c.runStart);
        }
    }
}

// A new logo of another size: the members after it move by the difference,
// byte for byte, in both directions; the checksums hold again; nothing else
// changes.
TEST(AwardImageTest, ReplacingAMemberShiftsThoseAfterIt)
{
    const Bytes source = SplitImage();
    const AwardImage layout = ReadAwardImage(source);
    RunSlot slot;
    ASSERT_EQ(FindRunSlot(layout, 1, slot), SlotVerdict::Ok);
    const size_t tail = layout.runEnd - (slot.offset + slot.oldLength);
    for (const uint32_t packed : {0x1300u, 0x0400u}) {
        SCOPED_TRACE(packed);
        const Bytes archive = MakeMember({"new.bmp", packed, 0, 0x4000, 0x20, 1, 0x77});
        Bytes rebuilt;
        ASSERT_TRUE(ReplaceMember(source, layout, slot, archive, rebuilt));
        const size_t newTail = slot.offset + archive.size();
        EXPECT_TRUE(std::equal(archive.begin(), archive.end(), rebuilt.begin() + static_cast<long>(slot.offset)));
        EXPECT_TRUE(std::equal(source.begin() + static_cast<long>(slot.offset + slot.oldLength),
                               source.begin() + static_cast<long>(layout.runEnd),
                               rebuilt.begin() + static_cast<long>(newTail)));
        const size_t newRunEnd = newTail + tail;
        const size_t changedEnd = std::max<size_t>(newRunEnd, layout.runEnd);
        for (size_t i = newRunEnd; i < changedEnd; ++i) ASSERT_EQ(rebuilt[i], 0xFF) << i;
        const test::BootBlockSumPlaces places{kTable + 0xFFE, kTable + 0x400};
        EXPECT_EQ(test::BootBlockSumProblems(rebuilt, places), "");
        EXPECT_EQ(
            test::FirstChangeOutside(source, rebuilt, {{slot.offset, changedEnd}, {places.mainAt, places.mainAt + 2}}),
            "");

        const AwardImage after = ReadAwardImage(rebuilt);
        ASSERT_EQ(after.members.size(), layout.members.size());
        const long shift = static_cast<long>(archive.size()) - static_cast<long>(slot.oldLength);
        EXPECT_EQ(after.members[2].offset, layout.members[2].offset + shift);
        EXPECT_EQ(after.members[3].offset, layout.members[3].offset + shift);
        EXPECT_EQ(after.members[4].offset, kSystemApart);
    }
}

// The largest archive a slot takes leaves one 0xFF byte before whatever
// ends the room; one byte more is refused.
TEST(AwardImageTest, ARunNeverReachesTheGapsEndTheChecksumsOrTheBootBlock)
{
    struct Case {
        const char* what;
        std::function<void(Bytes&)> prepare;
        size_t limit;
    };
    const Case cases[] = {
        {"the system BIOS past the gap", [](Bytes&) {}, kSystemApart},
        {"the checksum bytes",
         [](Bytes& image) {
             std::fill(image.begin() + kSystemApart, image.begin() + 0x38000, uint8_t{0xFF});
             const auto places = test::AddBootBlockTable(image, 0x37800, std::nullopt);
             image[places.mainAt] = 0xFF;
         },
         0x37000},
        {"the last 8 KiB", [](Bytes& image) { std::fill(image.begin() + kSystemApart, image.end(), uint8_t{0xFF}); },
         kImageSize - 0x2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes source = SplitImage();
        c.prepare(source);
        const AwardImage layout = ReadAwardImage(source);
        RunSlot slot;
        ASSERT_EQ(FindRunSlot(layout, 1, slot), SlotVerdict::Ok);
        const uint64_t largest = LargestArchive(layout, slot);
        const uint64_t tail = layout.runEnd - (slot.offset + slot.oldLength);
        EXPECT_EQ(slot.offset + largest + tail + 1, c.limit);
        Bytes archive(largest, 0x66);
        Bytes rebuilt;
        EXPECT_TRUE(ReplaceMember(source, layout, slot, archive, rebuilt));
        archive.push_back(0x66);
        EXPECT_FALSE(ReplaceMember(source, layout, slot, archive, rebuilt));
        EXPECT_TRUE(rebuilt.empty());
    }
}

TEST(AwardImageTest, OnlyMembersOfTheRunWithMovableMembersAfterThemAreReplaced)
{
    Bytes image;
    for (const MemberLayout& member : {kExtension, kLogo, kSystemBios}) Append(image, MakeMember(member));
    image.resize(kImageSize, 0xFF);
    const AwardImage layout = ReadAwardImage(image);
    RunSlot slot;
    EXPECT_EQ(FindRunSlot(layout, 1, slot), SlotVerdict::FixedFollows);  // the system BIOS never moves
    EXPECT_EQ(FindRunSlot(layout, 2, slot), SlotVerdict::NotInRun);
    ASSERT_EQ(FindRunSlot(layout, -1, slot), SlotVerdict::Ok);  // a member added at the run's end
    EXPECT_EQ(slot.offset, layout.runEnd);
    EXPECT_EQ(slot.oldLength, 0u);

    const AwardImage split = ReadAwardImage(SplitImage());
    EXPECT_EQ(FindRunSlot(split, 4, slot), SlotVerdict::NotInRun);  // past the gap
    EXPECT_EQ(FindRunSlot(ReadAwardImage(Bytes(0x20000, 0xFF)), -1, slot), SlotVerdict::NoRun);
}

// A BIOS shows stock logos when a code member holds "AWBM", wherever the
// member stands; a member that is itself such a picture does not count, nor
// one whose data does not hold to its CRC-16.
TEST(BiosCodeTest, TheStockLogoRule)
{
    const Bytes searchCode = {0x66, 0x81, 0x3C, 'A', 'W', 'B', 'M', 0x75, 0x20};
    Bytes picture = {'A', 'W', 'B', 'M', 8, 0, 4, 0};
    picture.insert(picture.end(), 16, 0x00);
    const std::string text = std::string(1, '\0') + "Award Modular BIOS v4.51PG, An Energy Star Ally" + '\0';
    Bytes banner(text.begin(), text.end());
    banner.insert(banner.end(), searchCode.begin(), searchCode.end());

    struct Case {
        const char* what;
        Bytes run;         // the members from offset 0
        Bytes pastTheGap;  // at 0x20000
        bool shows;
    };
    const Case cases[] = {
        {"the code in the system BIOS past the gap", MakeMember({"ext.rom", 0, 0, 0x4001, 0x20, 1, 0, {1, 2, 3}}),
         MakeMember({"original.tm", 0, 0, 0x5000, 0x20, 1, 0, banner}), true},
        {"the code in a member of the run", MakeMember({"ext.rom", 0, 0, 0x4001, 0x20, 1, 0, searchCode}), {}, true},
        {"only a stock picture", MakeMember({"logo.bmp", 0, 0, 0x4000, 0x20, 1, 0, picture}), {}, false},
        {"the code in data that fails its CRC", MakeMember({"ext.rom", 9, 0, 0x4001, 0x20, 1, 'A'}), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes image = c.run;
        image.resize(kImageSize, 0xFF);
        std::copy(c.pastTheGap.begin(), c.pastTheGap.end(), image.begin() + kSystemApart);
        const BiosCode code = ExamineBiosCode(image, ReadAwardImage(image));
        EXPECT_EQ(code.showsStockLogos, c.shows);
    }

    Bytes image = MakeMember({"original.tm", 0, 0, 0x5000, 0x20, 1, 0, banner});
    image.resize(kImageSize, 0xFF);
    EXPECT_EQ(ExamineBiosCode(image, ReadAwardImage(image)).banner, "Award Modular BIOS v4.51PG");
}

// An image of members that each claim to unpack to 16 MiB: the search gives
// up long before it has decoded them all, and shows nothing.
TEST(BiosCodeTest, AHostileImageShowsNothing)
{
    Bytes image;
    while (image.size() < 0x30000) {
        Bytes member = MakeMember({"big.bin", 0x100, 0, 0x4001});
        member[2 + 9] = 0x00;  // the original size: 16 MiB
        member[2 + 10] = 0x00;
        member[2 + 11] = 0x00;
        member[2 + 12] = 0x01;
        uint8_t sum = 0;
        for (size_t i = 2; i < 2 + size_t{member[0]}; ++i) sum = static_cast<uint8_t>(sum + member[i]);
        member[1] = sum;
        Append(image, member);
    }
    image.resize(kImageSize, 0xFF);
    const AwardImage layout = ReadAwardImage(image);
    ASSERT_GT(layout.members.size(), 100u);
    const BiosCode code = ExamineBiosCode(image, layout);
    EXPECT_FALSE(code.showsStockLogos);
    EXPECT_EQ(code.banner, "");
}

}  // namespace
}  // namespace varlin
