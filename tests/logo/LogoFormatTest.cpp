// Which format a new logo is built in, and what the build says where the
// user asked for one the board may not show.
#include <gtest/gtest.h>

#include "logo/LogoFormat.h"

namespace varlin {
namespace {

constexpr StockLogoFormat kSmallEightBit{StockVariant::EightBit, 320, 200};
constexpr StockLogoFormat kWithoutBlock{StockVariant::FourBit, 640, 480, false};

TEST(LogoFormatTest, TheFormatOfANewLogo)
{
    using Kind = LogoFormatKind;
    using Choice = LogoFormatChoice;
    struct Case {
        LogoFormat current;
        bool biosShowsStock;
        Choice choice;
        bool stock;
        bool refused;
        StockLogoFormat format;
        StockColours colours;
    };
    const StockColours chosen = StockColours::Chosen;
    const StockColours standard = StockColours::Standard;
    // clang-format off
    const Case cases[] = {
        // An image with a logo keeps its format, whatever its code says.
        {{Kind::PayloadBitmap, {}},        false, Choice::FollowImage, false, false, kCommonStockLogo, standard},
        {{Kind::PayloadJpeg, {}},          true,  Choice::FollowImage, false, false, kCommonStockLogo, standard},
        {{Kind::Stock, kSmallEightBit},    false, Choice::FollowImage, true,  false, kSmallEightBit,   chosen},
        {{Kind::Stock, kWithoutBlock},     true,  Choice::FollowImage, true,  false, kWithoutBlock,    standard},
        {{Kind::Other, {}},                true,  Choice::FollowImage, false, false, kCommonStockLogo, standard},
        // Without one: stock where the BIOS shows it, none where it shows none.
        {{Kind::None, {}},                 true,  Choice::FollowImage, true,  false, kCommonStockLogo, standard},
        {{Kind::None, {}},                 false, Choice::FollowImage, false, true,  kCommonStockLogo, standard},
        // A format asked for is built.
        {{Kind::None, {}},                 false, Choice::Payload,     false, false, kCommonStockLogo, standard},
        {{Kind::None, {}},                 false, Choice::Stock,       true,  false, kCommonStockLogo, standard},
        {{Kind::PayloadBitmap, {}},        false, Choice::Stock,       true,  false, kCommonStockLogo, standard},
        {{Kind::Stock, kSmallEightBit},    true,  Choice::Payload,     false, false, kSmallEightBit,   chosen},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << LogoFormatWord(c.current.kind) << ", BIOS shows stock " << c.biosShowsStock
                                        << ", choice " << static_cast<int>(c.choice));
        const LogoTarget target = ChooseLogoTarget(c.current, c.biosShowsStock, c.choice);
        EXPECT_EQ(target.stock, c.stock);
        EXPECT_EQ(target.refused, c.refused);
        if (target.stock) {
            EXPECT_EQ(target.format, c.format);
            EXPECT_EQ(target.colours, c.colours);
        }
    }
    EXPECT_FALSE(ChooseLogoTargetWithoutImage(LogoFormatChoice::FollowImage).stock);
    EXPECT_FALSE(ChooseLogoTargetWithoutImage(LogoFormatChoice::FollowImage).refused);
}

TEST(LogoFormatTest, WhatTheBoardMayDoWithAFormatAskedFor)
{
    const LogoFormat none{LogoFormatKind::None, {}};
    const LogoFormat stock{LogoFormatKind::Stock, kCommonStockLogo};
    const LogoTarget payload = ChooseLogoTarget(none, false, LogoFormatChoice::Payload);
    const LogoTarget stockTarget = ChooseLogoTarget(none, true, LogoFormatChoice::Stock);

    EXPECT_EQ(BoardWarning(none, false, payload, 60000),
              "this BIOS shows no full-screen logo (its code never looks for one): the board will not show the new "
              "logo");
    EXPECT_NE(BoardWarning(none, false, payload, 153660).find("(this one unpacks to 154 KB; 70 KB or less"),
              std::string::npos);
    EXPECT_EQ(BoardWarning(none, true, payload, 1000),
              "this BIOS shows full-screen logos in the stock format: it may not show one in our payload format");
    EXPECT_EQ(BoardWarning(stock, true, payload, 1000), BoardWarning(none, true, payload, 1000));
    EXPECT_EQ(BoardWarning(none, true, stockTarget, 153660), "");
    EXPECT_EQ(BoardWarning(stock, false, stockTarget, 153660), "");
}

}  // namespace
}  // namespace varlin
