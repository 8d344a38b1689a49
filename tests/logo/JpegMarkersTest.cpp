#include "logo/JpegMarkers.h"

#include <gtest/gtest.h>

#include "tests/support/Pictures.h"

namespace varlin {
namespace {

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(JpegMarkersTest, FrameScanStepsOverSegmentsAndStopsAtTheEnd)
{
    int32_t width = 0;
    int32_t height = 0;
    // A segment whose body holds FF C0 is stepped over; the real frame counts.
    const Bytes data = {0x00, 0xFF, 0xE1, 0x00, 0x06, 0xFF, 0xC0, 0x01, 0x02,
                        0xFF, 0xC0, 0x00, 0x11, 0x08, 0x01, 0x2C, 0x01, 0x90};
    ASSERT_TRUE(FindBaselineFrameSize(data, width, height));
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);

    // FF 00, FF 01 and FF FF carry no length.
    const Bytes stuffed = {0xFF, 0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x20};
    ASSERT_TRUE(FindBaselineFrameSize(stuffed, width, height));
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 16);

    // Frame fields or a length that lie past the end: not found, no read past it.
    for (size_t cut = 0; cut < data.size(); ++cut) {
        EXPECT_FALSE(FindBaselineFrameSize(std::span<const uint8_t>(data).first(cut), width, height)) << cut;
    }
    const Bytes lengthAtEnd = {0x00, 0xFF, 0xDB, 0x00};
    EXPECT_FALSE(FindBaselineFrameSize(lengthAtEnd, width, height));
}

TEST(JpegMarkersTest, ReductionKeepsTheSegmentsTheBiosDecodes)
{
    const Bytes soi = {0xFF, 0xD8};
    const Bytes app0 = {0xFF, 0xE0, 0x00, 0x04, 'J', 'F'};
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x05, 'E', 'x', 'i'};
    const Bytes dqt = {0xFF, 0xDB, 0x00, 0x03, 0x07};
    const Bytes comment = {0xFF, 0xFE, 0x00, 0x04, 'h', 'i'};
    const Bytes sof0 = {0xFF, 0xC0, 0x00, 0x03, 0x08};
    const Bytes dht = {0xFF, 0xC4, 0x00, 0x03, 0x01};
    const Bytes dri = {0xFF, 0xDD, 0x00, 0x04, 0x00, 0x10};
    const Bytes scan = {0xFF, 0xDA, 0x00, 0x03, 0x01, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xFF, 0xFF, 0xD9};
    const Bytes input = Concat({soi, app0, app1, {0xFF}, dqt, comment, {0x42}, sof0, dht, dri, scan});

    Bytes reduced;
    ASSERT_EQ(ReduceJpegStream(input, reduced), JpegReduction::Reduced);
    const Bytes shrunkScan = {0xFF, 0xDA, 0x00, 0x03, 0x01, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9};
    EXPECT_EQ(reduced, Concat({soi, app0, dqt, sof0, dht, dri, shrunkScan}));
}

TEST(JpegMarkersTest, ReductionFailures)
{
    Bytes reduced;
    const Bytes noScan = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0xFF, 0xD9, 0x00, 0x02};
    EXPECT_EQ(ReduceJpegStream(noScan, reduced), JpegReduction::NoStartOfScan);
    // A kept segment that runs past the end is not copied.
    const Bytes longKept = {0xFF, 0xD8, 0xFF, 0xDB, 0x01, 0x00, 0x01, 0x02};
    EXPECT_EQ(ReduceJpegStream(longKept, reduced), JpegReduction::SegmentPastEnd);
    const Bytes lengthCut = {0xFF, 0xD8, 0xFF, 0xC4, 0x00};
    EXPECT_EQ(ReduceJpegStream(lengthCut, reduced), JpegReduction::SegmentPastEnd);
    // A kept segment's length counts its own two bytes; 0 or 1 would keep
    // the marker without them.
    for (uint8_t length : {0, 1}) {
        const Bytes shortKept = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, length, 0x07, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9};
        EXPECT_EQ(ReduceJpegStream(shortKept, reduced), JpegReduction::BadSegmentLength);
    }
    // A dropped segment that runs past the end simply ends the data.
    const Bytes longDropped = {0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00, 0xFF, 0xDA};
    EXPECT_EQ(ReduceJpegStream(longDropped, reduced), JpegReduction::NoStartOfScan);
    for (const Bytes& tiny : {Bytes{}, Bytes{0xFF}, Bytes{0xFF, 0xD8}, Bytes{0xFF, 0xD8, 0xFF}}) {
        EXPECT_EQ(ReduceJpegStream(tiny, reduced), JpegReduction::NoStartOfScan);
        EXPECT_EQ(reduced, (Bytes{0xFF, 0xD8}));
    }
}

TEST(JpegMarkersTest, OutputAlwaysStartsWithStartOfImage)
{
    const Bytes input = {0x00, 0x00, 0xFF, 0xDA, 0x01};
    Bytes reduced;
    ASSERT_EQ(ReduceJpegStream(input, reduced), JpegReduction::Reduced);
    EXPECT_EQ(reduced, (Bytes{0xFF, 0xD8, 0xFF, 0xDA, 0x01}));
}

}  // namespace
}  // namespace varlin
