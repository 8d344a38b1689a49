#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>

#include "logo/LogoBuild.h"
#include "logo/LogoSlotFinder.h"
#include "tests/support/BiosImages.h"
#include "tests/support/FakePlatform.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::MakeMember;
using test::MemberLayout;
using test::ReadFile;

const MemberLayout kSystemBios = {"original.tm", 0x10000, 0, 0x5000};  // H 0x24
const MemberLayout kOldLogo = {"logo.bmp1", 0x1000, 0, 0x4000};        // H 0x22, at 0x10028
const MemberLayout kOther = {"awardext.rom", 0x800, 0, 0x4001};

// The example image: system BIOS, the old logo at 0x10028 of length 0x1025,
// 0x3000 bytes of free space, then other data up to 256 KiB.
Bytes ExampleImage(bool withLogo = true)
{
    Bytes image = MakeMember(kSystemBios);
    const Bytes second = MakeMember(withLogo ? kOldLogo : kOther);
    image.insert(image.end(), second.begin(), second.end());
    test::AppendFill(image, 0x3000, 0xFF);
    test::AppendFill(image, 0x40000 - image.size(), 0x00);
    return image;
}

// An incompressible bitmap payload of exactly `payloadLength` bytes (which
// must be 2 modulo 4): 3 palette entries, rows as wide as the length allows,
// random indices.
Bytes RandomBitmap(size_t payloadLength)
{
    const size_t pixelBytes = payloadLength - 54 - 12;
    test::IndexedPicture picture;
    picture.width = 640;
    while (picture.width > 4 && (pixelBytes % static_cast<size_t>(picture.width) != 0 ||
                                 pixelBytes / static_cast<size_t>(picture.width) > 480)) {
        picture.width -= 4;
    }
    picture.height = static_cast<int>(pixelBytes / static_cast<size_t>(picture.width));
    picture.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    std::mt19937 random(11);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (uint8_t& pixel : picture.pixels) pixel = static_cast<uint8_t>(random());
    Bytes bitmap = test::MakeBmp(picture);
    EXPECT_EQ(bitmap.size(), payloadLength);
    return bitmap;
}

class BiosRebuildTest : public ::testing::Test {
protected:
    BiosRebuildTest() { job.workImagePath = WorkImage(); }

    bool Build(const Bytes& image, const std::string& pictureName, const Bytes& picture)
    {
        job.biosPath = dir.Write("source.bin", image);
        job.picturePath = dir.Write(pictureName, picture);
        return builder.BuildBiosWithLogo(job);
    }

    std::string WorkImage() const { return programDir.File("tmp.bin"); }

    // The logo member of the work image, as an archive of its own.
    Bytes LogoMember()
    {
        CLogoSlotFinder finder(platform.messages);
        uint32_t length = 0;
        const int32_t slot = finder.FindLogoSlot(WorkImage(), length);
        const Bytes image = ReadFile(WorkImage());
        if (slot < 0) return {};
        return Bytes(image.begin() + slot, image.begin() + slot + length);
    }

    // What the independent decoders say of the logo member.
    std::string DecodersOnLogo(const Bytes& expected)
    {
        return test::CheckWithDecoders(dir.Write("logo.lzh", LogoMember()), expected);
    }
    std::vector<std::string> Shown() const { return platform.messages.Texts(); }

    test::TempDir programDir;                 // the program directory
    test::TempDir dir{test::TempDir::Enter};  // the current directory
    test::FakePlatform platform;
    LogoBuild builder{platform.messages, platform.pictures};
    LogoJob job;
};

TEST_F(BiosRebuildTest, TheNewLogoTakesTheOldSlotAndDecodesToThePayload)
{
    const Bytes source = ExampleImage();
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(160, 120, 64));
    ASSERT_TRUE(Build(source, "logo.bmp", bitmap)) << ::testing::PrintToString(Shown());
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(ReadFile(job.biosPath), source);  // the source is never changed

    const Bytes result = ReadFile(WorkImage());
    ASSERT_EQ(result.size(), source.size());
    CLogoSlotFinder finder(platform.messages);
    uint32_t length = 0;
    ASSERT_EQ(finder.FindLogoSlot(WorkImage(), length), 0x10028);
    // Only the slot changed: before it the same bytes, after the archive 0xFF
    // up to where the free space ended.
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + 0x10028, result.begin()));
    for (size_t i = 0x10028 + length; i < 0x10028 + 0x4025; ++i) ASSERT_EQ(result[i], 0xFF) << i;
    EXPECT_TRUE(std::equal(source.begin() + 0x10028 + 0x4025, source.end(), result.begin() + 0x10028 + 0x4025));

    // The member, cut out of the image, is the payload: the header word for
    // a plain centred bitmap (0) and the bitmap from its third byte.
    const Bytes member(result.begin() + 0x10028, result.begin() + 0x10028 + length);
    Bytes payload = {0x00, 0x00};
    payload.insert(payload.end(), bitmap.begin() + 2, bitmap.end());
    EXPECT_EQ(DecodersOnLogo(payload), "");
    EXPECT_EQ(test::ParseArchive(member).name, "logo.bmp");

    // The working files are gone, but for those that stay by design.
    EXPECT_FALSE(test::FileExists("tmp.tbp"));
    EXPECT_FALSE(test::FileExists("tmp_b_pic"));

    // Built again from its own result, the logo is found in the same place.
    job.biosPath = dir.Write("again.bin", result);
    ASSERT_TRUE(builder.BuildBiosWithLogo(job));
    ASSERT_EQ(finder.FindLogoSlot(WorkImage(), length), 0x10028);
    EXPECT_EQ(length, member.size());
}

TEST_F(BiosRebuildTest, TheArchiveMustLeaveOneFreeByteAfterIt)
{
    // freeRun is 0x1025 + 0x3000 = 0x4025: an archive of 0x4024 bytes fits.
    // A stored member is 28 + name + payload bytes long.
    ASSERT_TRUE(Build(ExampleImage(), "ab.bmp", RandomBitmap(0x4024 - 28 - 6))) << ::testing::PrintToString(Shown());
    CLogoSlotFinder finder(platform.messages);
    uint32_t length = 0;
    ASSERT_EQ(finder.FindLogoSlot(WorkImage(), length), 0x10028);
    EXPECT_EQ(length, 0x4024u);

    // One byte more is refused, and the build leaves none of its files.
    platform.messages.shown.clear();
    job.outputPath = dir.File("chosen.bin");
    const Bytes precious = {'k', 'e', 'e', 'p'};
    dir.Write("chosen.bin", precious);
    EXPECT_FALSE(Build(ExampleImage(), "abc.bmp", RandomBitmap(0x4024 - 28 - 6)));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Picture file is too big, \nplease selected a small one!"});
    EXPECT_FALSE(test::FileExists(WorkImage()));
    EXPECT_FALSE(test::FileExists("tmp.tbp"));
    EXPECT_FALSE(test::FileExists("tmp_b_pic"));
    EXPECT_EQ(ReadFile(dir.File("chosen.bin")), precious);  // the user's file survives a failed build
}

TEST_F(BiosRebuildTest, WithoutALogoTheArchiveGoesAfterTheLastMember)
{
    const Bytes source = ExampleImage(false);
    const size_t end = MakeMember(kSystemBios).size() + MakeMember(kOther).size();
    job.settings.logoFormat = LogoFormatChoice::Payload;  // its BIOS shows no logo by itself
    ASSERT_TRUE(Build(source, "logo.bmp", test::MakeBmp(test::MakeIndexedPicture(32, 32, 16))));
    const Bytes result = ReadFile(WorkImage());
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + static_cast<ptrdiff_t>(end), result.begin()));
    CLogoSlotFinder finder(platform.messages);
    uint32_t length = 0;
    EXPECT_EQ(finder.FindLogoSlot(WorkImage(), length), static_cast<int32_t>(end));
    EXPECT_GT(length, 0u);
}

TEST_F(BiosRebuildTest, OutputIsWrittenWholeOnlyAfterASuccessfulBuild)
{
    job.outputPath = dir.File("new.bin");
    ASSERT_TRUE(Build(ExampleImage(), "logo.bmp", test::MakeBmp(test::MakeIndexedPicture(40, 30))));
    EXPECT_EQ(ReadFile(job.outputPath), ReadFile(WorkImage()));

    // A failed build (the slot search refuses the image) leaves it as it was.
    const Bytes before = ReadFile(job.outputPath);
    Bytes damaged(0x20000, 0x00);
    platform.messages.shown.clear();
    EXPECT_FALSE(Build(damaged, "logo.bmp", test::MakeBmp(test::MakeIndexedPicture(40, 30))));
    EXPECT_EQ(Shown(), std::vector<std::string>{"BIOS has error!"});
    EXPECT_EQ(ReadFile(job.outputPath), before);
    EXPECT_FALSE(test::FileExists("tmp.tbp"));
    EXPECT_FALSE(test::FileExists("tmp_b_pic"));

    // The output may be the work image itself (Flash To Mainboard without a save).
    job.outputPath = WorkImage();
    EXPECT_TRUE(Build(ExampleImage(), "logo.bmp", test::MakeBmp(test::MakeIndexedPicture(40, 30))));
    EXPECT_FALSE(ReadFile(WorkImage()).empty());
}

TEST_F(BiosRebuildTest, PaletteIsPreparedOnlyForAnAdvancedBitmapWithPostMessages)
{
    // A palette lacking black, white and grey, so preparation changes it.
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(32, 16, 8));
    struct Case {
        int32_t showPostMessage;
        bool prepared;
    };
    for (const Case& c : {Case{1, true}, Case{0, false}}) {
        std::filesystem::remove("chack_pallete");
        job.settings.showPostMessage = c.showPostMessage;
        ASSERT_TRUE(Build(ExampleImage(), "logo.bmp", bitmap));
        EXPECT_EQ(test::FileExists("chack_pallete"), c.prepared);
        if (c.prepared) {
            const Bytes prepared = ReadFile("chack_pallete");
            EXPECT_NE(Bytes(prepared.begin() + 2, prepared.end()), Bytes(bitmap.begin() + 2, bitmap.end()));
            EXPECT_EQ(DecodersOnLogo(prepared), "");
        } else {
            // The header word still carries the POST flag; only the palette is left alone.
            Bytes payload = {0x00, static_cast<uint8_t>(c.showPostMessage != 0 ? 0x01 : 0x00)};
            payload.insert(payload.end(), bitmap.begin() + 2, bitmap.end());
            EXPECT_EQ(DecodersOnLogo(payload), "");
        }
    }
}

TEST_F(BiosRebuildTest, JpegLogoCarriesTheReducedStream)
{
    job.settings.screenResolution = kResolution800x600;
    ASSERT_TRUE(Build(ExampleImage(), "photo.jpg", test::MakeJpeg(800, 600)));
    Bytes payload = {0x0A, 0x00};
    const Bytes reduced = ReadFile("tmp.jpg");
    payload.insert(payload.end(), reduced.begin(), reduced.end());
    EXPECT_EQ(DecodersOnLogo(payload), "");
}

// The boot block's checksums: kept exactly where the source kept them, and
// nowhere else changed.
TEST_F(BiosRebuildTest, TheBootBlockChecksumsHoldWhereTheyHeldInTheSource)
{
    using Places = test::BootBlockSumPlaces;
    struct Case {
        const char* what;
        std::function<std::optional<Places>(Bytes&)> prepare;  // the places of the sums kept, if any
        size_t changedChecksumBytes;
    };
    const Case cases[] = {
        {"the main sum only", [](Bytes& image) { return test::AddBootBlockTable(image, 0x37000, std::nullopt); }, 1},
        {"both sums, the block from 1 KiB into the page",
         [](Bytes& image) { return test::AddBootBlockTable(image, 0x37000, 0x400); }, 2},
        {"both sums, the block from the page's start",
         [](Bytes& image) { return test::AddBootBlockTable(image, 0x37010, 0x000); }, 2},
        {"no table", [](Bytes&) { return std::nullopt; }, 0},
        {"the marker only in the boot block's code",
         [](Bytes& image) {
             test::AddBootBlockTable(image, 0x37000, 0x400);
             std::fill_n(image.begin() + 0x37000, 6, uint8_t{0});
             return std::nullopt;
         },
         0},
        {"sums of another scheme",
         [](Bytes& image) {
             const Places places = test::AddBootBlockTable(image, 0x37000, 0x400);
             image[places.mainAt] ^= 0x5A;
             return std::nullopt;
         },
         0},
    };
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(64, 32, 16));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes source = ExampleImage();
        const std::optional<Places> places = c.prepare(source);
        ASSERT_TRUE(Build(source, "logo.bmp", bitmap)) << ::testing::PrintToString(Shown());
        const Bytes result = ReadFile(WorkImage());
        std::vector<std::pair<size_t, size_t>> allowed = {{0x10028, 0x10028 + 0x4025}};
        if (places) {
            EXPECT_EQ(test::BootBlockSumProblems(result, *places), "");
            allowed.emplace_back(places->mainAt, places->mainAt + c.changedChecksumBytes);
        }
        EXPECT_EQ(test::FirstChangeOutside(source, result, allowed), "");
        EXPECT_EQ(builder.lastRebuild.checksumsBefore.MainHolds(), places.has_value());
    }
}

// An image whose free space after the logo runs on through the checksum
// page, with the main checksum 0xFF: the two bytes are still no free space.
TEST_F(BiosRebuildTest, TheChecksumBytesAreNeverFreeSpace)
{
    const MemberLayout longSystemBios = {"original.tm", 0x37102, 0, 0x5000};
    Bytes source = MakeMember(longSystemBios);  // its data covers 0x37000, where the table goes
    const size_t slot = source.size();
    test::AppendFill(source, 0x40000 - source.size(), 0xFF);
    test::BootBlockSumPlaces places = test::AddBootBlockTable(source, 0x37000, std::nullopt);
    // One data byte of the system BIOS makes the main sum 0xFF.
    source[0x100] = static_cast<uint8_t>(source[0x100] + 0xFF - source[places.mainAt]);
    places = test::AddBootBlockTable(source, 0x37000, std::nullopt);
    ASSERT_EQ(source[places.mainAt], 0xFF);
    // Stored archives of 28 + 6 + payload bytes: one as long as the 0xFF run
    // up to the checksum (which leaves no 0xFF after it), one 4 bytes shorter.
    const size_t room = places.mainAt - slot;
    ASSERT_EQ(room % 4, 0u);
    job.settings.logoFormat = LogoFormatChoice::Payload;  // its BIOS shows no logo by itself
    ASSERT_FALSE(Build(source, "ab.bmp", RandomBitmap(room - 28 - 6)));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Picture file is too big, \nplease selected a small one!"});
    platform.messages.shown.clear();
    ASSERT_TRUE(Build(source, "ab.bmp", RandomBitmap(room - 28 - 6 - 4))) << ::testing::PrintToString(Shown());
    const Bytes result = ReadFile(WorkImage());
    EXPECT_EQ(test::BootBlockSumProblems(result, places), "");
    EXPECT_NE(result[places.mainAt], 0xFF);
    EXPECT_EQ(test::FirstChangeOutside(source, result, {{slot, places.mainAt}, {places.mainAt, places.mainAt + 1}}),
              "");
}

// A builder whose archive comes out damaged, as a faulty compressor or a
// bad memory cell would leave it.
class DamagingBuilder : public LogoBuild {
public:
    using LogoBuild::LogoBuild;
    bool MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath, const std::string& memberName,
                         const LogoSettings& settings) override
    {
        if (!LogoBuild::MakeLogoArchive(payloadPath, archivePath, memberName, settings)) return false;
        Bytes archive = ReadFile(archivePath);
        archive[archive.size() - 40] ^= 0x10;  // a data byte; the header stays whole
        WriteWholeFile(archivePath, archive);
        return true;
    }
};

TEST_F(BiosRebuildTest, AnImageThatFailsItsCheckIsNeverWritten)
{
    DamagingBuilder damaging(platform.messages, platform.pictures);
    job.biosPath = dir.Write("source.bin", ExampleImage());
    job.picturePath = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(160, 120, 64)));
    job.outputPath = dir.Write("chosen.bin", {'k', 'e', 'e', 'p'});
    EXPECT_FALSE(damaging.BuildBiosWithLogo(job));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(Shown()[0].starts_with("The new BIOS image failed its check: the new logo member")) << Shown()[0];
    EXPECT_TRUE(Shown()[0].ends_with(".\nNothing was written.")) << Shown()[0];
    EXPECT_EQ(ReadFile(job.outputPath), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_FALSE(test::FileExists(WorkImage()));
    EXPECT_FALSE(test::FileExists("tmp.tbp"));
    EXPECT_FALSE(test::FileExists("tmp_b_pic"));
}

// A builder whose stock logo payload loses a pixel before it is packed, as
// a faulty encoder would leave it: archive and payload agree, the picture
// does not.
class PixelLosingBuilder : public LogoBuild {
public:
    using LogoBuild::LogoBuild;
    bool MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath, const std::string& memberName,
                         const LogoSettings& settings) override
    {
        Bytes payload = ReadFile(payloadPath);
        payload[8 + 80 * 4 * 100 + 3] ^= 0x01;  // row 100, plane 0, the pixel at x 31
        WriteWholeFile(payloadPath, payload);
        return LogoBuild::MakeLogoArchive(payloadPath, archivePath, memberName, settings);
    }
};

// A stock image's logo is rebuilt in the image's own format: the picture
// converted (never given to the palette step), packed, checked by reading
// it back as the BIOS does.
TEST_F(BiosRebuildTest, AStockImageTakesTheLogoInItsOwnFormat)
{
    const Bytes source = ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-256k-stock.bin");
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(200, 150, 64));
    job.settings.showPostMessage = 1;
    ASSERT_TRUE(Build(source, "logo.bmp", bitmap)) << ::testing::PrintToString(Shown());
    EXPECT_TRUE(builder.lastRebuild.logo.stock);
    EXPECT_EQ(builder.logoHeaderWord, 0);
    EXPECT_FALSE(test::FileExists("chack_pallete"));
    EXPECT_EQ(DecodersOnLogo(test::StockLogoOf(bitmap)), "");
    const size_t logoAt = test::RunMembersOf(source).back().offset;  // the run's last member
    EXPECT_EQ(test::FirstChangeOutside(source, ReadFile(WorkImage()), {{logoAt, 0x37000}, {0x37FFE, 0x38000}}), "");

    PixelLosingBuilder losing(platform.messages, platform.pictures);
    job.outputPath = dir.Write("chosen.bin", {'k', 'e', 'e', 'p'});
    EXPECT_FALSE(losing.BuildBiosWithLogo(job));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(Shown()[0].starts_with("The new BIOS image failed its check: the new stock logo shows colour "))
        << Shown()[0];
    EXPECT_NE(Shown()[0].find(" at pixel 31,100 where the picture has "), std::string::npos) << Shown()[0];
    EXPECT_EQ(ReadFile(job.outputPath), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(BiosRebuildTest, AnArchiveWithoutMemberStopsTheBuild)
{
    EXPECT_FALSE(builder.MakeLogoArchive(dir.File("missing.tbp"), "tmp_b_pic", "logo.bmp", job.settings));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_NE(Shown()[0].find("missing.tbp"), std::string::npos);
}

}  // namespace
}  // namespace varlin
