#include "logo/LogoSlotFinder.h"

#include <gtest/gtest.h>

#include "tests/support/BiosImages.h"
#include "tests/support/RecordingMessagePort.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::MakeMember;
using test::MemberLayout;

// The chain of the example image: the system BIOS member (H 0x24, P 0x10000)
// and the logo (H 0x22, P 0x1000) right after it at 0x10028.
const MemberLayout kSystemBios = {"original.tm", 0x10000, 0, 0x5000};  // 11 characters: H 0x24
const MemberLayout kLogo = {"logo.bmp1", 0x1000, 0, 0x4000};           // 9 characters: H 0x22
const MemberLayout kOther = {"other.bin", 0x200, 0, 0x4001};

class LogoSlotFinderTest : public ::testing::Test {
protected:
    int32_t Find(const Bytes& image)
    {
        platform.shown.clear();
        slotLength = 0xDEAD;
        return finder.FindLogoSlot(dir.Write("bios.bin", image), slotLength);
    }

    static Bytes Chain(std::initializer_list<MemberLayout> members)
    {
        Bytes image;
        for (const MemberLayout& member : members) {
            const Bytes bytes = MakeMember(member);
            image.insert(image.end(), bytes.begin(), bytes.end());
        }
        return image;
    }

    test::TempDir dir;
    test::RecordingMessagePort platform;
    CLogoSlotFinder finder{platform};
    uint32_t slotLength = 0;
};

TEST_F(LogoSlotFinderTest, TheLastMemberLogoIsTheSlot)
{
    Bytes image = Chain({kSystemBios, kLogo});
    ASSERT_EQ(image.size(), 0x10028u + 0x1025u);
    test::AppendFill(image, 0x3000, 0xFF);
    EXPECT_EQ(Find(image), 0x10028);
    EXPECT_EQ(slotLength, 0x1025u);
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(LogoSlotFinderTest, ALogoFollowedByAnythingButFreeSpaceIsRefused)
{
    Bytes followed = Chain({kSystemBios, kLogo, kOther});
    test::AppendFill(followed, 64, 0xFF);
    EXPECT_EQ(Find(followed), -1);
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{"The logo is not at the end of BIOS ROM!"});

    // A logo that ends exactly at the end of the file.
    EXPECT_EQ(Find(Chain({kSystemBios, kLogo})), -1);
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{"The logo is not at the end of BIOS ROM!"});
}

TEST_F(LogoSlotFinderTest, WithoutALogoTheSlotIsTheFreeSpaceAfterTheChain)
{
    Bytes image = Chain({kSystemBios, kOther});
    const size_t end = image.size();
    test::AppendFill(image, 100, 0xFF);
    EXPECT_EQ(Find(image), static_cast<int32_t>(end));
    EXPECT_EQ(slotLength, 0u);
}

TEST_F(LogoSlotFinderTest, DamagedHeaders)
{
    Bytes zeroes(4096, 0x00);
    EXPECT_EQ(Find(zeroes), -1);
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{"BIOS has error!"});

    for (const auto& [attribute, level] : {std::pair<uint8_t, uint8_t>{0x20, 0}, {0x20, 2}, {0x00, 1}}) {
        MemberLayout damaged = kOther;
        damaged.attribute = attribute;
        damaged.level = level;
        Bytes image = Chain({damaged});
        test::AppendFill(image, 16, 0xFF);
        EXPECT_EQ(Find(image), -1);
        EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Bios has error!"});
    }

    platform.shown.clear();
    EXPECT_EQ(finder.FindLogoSlot(dir.File("missing.bin"), slotLength), -1);
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Cannot open BIOS file!"});
}

TEST_F(LogoSlotFinderTest, AFailedChecksumSkipsSixtyFourKilobytes)
{
    // 0x00 then a non-zero byte: an empty sum (0) differs from the checksum,
    // so the walk goes on at 65536, not at the next 64 KiB boundary after it.
    Bytes image(65536, 0x00);
    image[1] = 0x01;
    const Bytes chain = Chain({kOther});
    image.insert(image.end(), chain.begin(), chain.end());
    test::AppendFill(image, 32, 0xFF);
    EXPECT_EQ(Find(image), static_cast<int32_t>(65536 + chain.size()));
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(LogoSlotFinderTest, WalksThatRunOffTheEndEndSilently)
{
    EXPECT_EQ(Find(Bytes(3 * 65536, 0xFF)), -1);
    EXPECT_TRUE(platform.shown.empty());

    // A chain that never reaches free space.
    EXPECT_EQ(Find(Chain({kOther, kOther})), -1);
    EXPECT_TRUE(platform.shown.empty());

    // Every cut of a header: only bytes that were read are used.
    const Bytes whole = Chain({kSystemBios, kLogo});
    for (size_t cut : {0u, 1u, 2u, 20u, 30u, 37u, 0x10028u + 10u, 0x10028u + 36u}) {
        EXPECT_EQ(Find(Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(cut))), -1) << cut;
        EXPECT_TRUE(platform.shown.empty() || platform.Texts().back() == "The logo is not at the end of BIOS ROM!")
            << cut;
    }
}

}  // namespace
}  // namespace varlin
