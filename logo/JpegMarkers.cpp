#include "logo/JpegMarkers.h"

#include <array>

#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

constexpr size_t kMarkWindow = 16;

enum class SegmentTreatment : uint8_t { Drop, Keep, FillByte, StartOfScan };

constexpr std::array<SegmentTreatment, 256> MakeTreatmentTable()
{
    std::array<SegmentTreatment, 256> table{};
    table.fill(SegmentTreatment::Drop);
    for (int code : {0xC0, 0xC4, 0xDB, 0xDD, 0xE0}) table[code] = SegmentTreatment::Keep;
    // Restart markers, SOI and EOI are kept too, and their next two bytes
    // are read as a length like any other segment's.
    for (int code = 0xD0; code <= 0xD9; ++code) table[code] = SegmentTreatment::Keep;
    table[0xDA] = SegmentTreatment::StartOfScan;
    table[0xFF] = SegmentTreatment::FillByte;
    return table;
}

constexpr std::array<SegmentTreatment, 256> kTreatment = MakeTreatmentTable();

}  // namespace

bool HasJfifMark(std::span<const uint8_t> fileStart)
{
    static constexpr char kMark[] = "JFIF";
    if (fileStart.size() < kMarkWindow) return false;
    size_t cursor = 0;
    for (;;) {
        bool matched = true;
        for (int i = 0; i < 4; ++i) {
            if (cursor >= kMarkWindow) return false;
            const bool equal = fileStart[cursor] == static_cast<uint8_t>(kMark[i]);
            ++cursor;
            if (!equal) {
                matched = false;
                break;
            }
        }
        if (matched) return true;
    }
}

bool FindBaselineFrameSize(std::span<const uint8_t> data, int32_t& width, int32_t& height)
{
    const size_t end = data.size();
    size_t p = 0;
    while (p < end) {
        const uint8_t byte = data[p++];
        if (byte == 0xFF) {
            if (p >= end) return false;
            const uint8_t code = data[p];
            if (code == 0xC0) {
                if (p + 8 > end) return false;
                height = ReadBe16(&data[p + 4]);
                width = ReadBe16(&data[p + 6]);
                return true;
            }
            if (code != 0x00 && code != 0x01 && code != 0xFF) {
                if (p + 3 > end) return false;
                p += ReadBe16(&data[p + 1]);
            }
        }
    }
    return false;
}

JpegReduction ReduceJpegStream(std::span<const uint8_t> input, Bytes& reduced)
{
    const size_t n = input.size();
    reduced.clear();
    reduced.reserve(n + 2);
    reduced.push_back(0xFF);
    reduced.push_back(0xD8);
    size_t p = 2;
    while (p < n) {
        if (input[p] != 0xFF) {
            ++p;
            continue;
        }
        if (p + 1 >= n) break;
        const SegmentTreatment treatment = kTreatment[input[p + 1]];
        if (treatment == SegmentTreatment::FillByte) {
            ++p;
            continue;
        }
        if (treatment == SegmentTreatment::StartOfScan) {
            reduced.push_back(input[p]);
            for (size_t i = p + 1; i < n; ++i) {
                if (!(input[i] == 0xFF && input[i - 1] == 0xFF)) reduced.push_back(input[i]);
            }
            return JpegReduction::Reduced;
        }
        if (p + 4 > n) return JpegReduction::SegmentPastEnd;
        const size_t segment = size_t{ReadBe16(&input[p + 2])} + 2;
        if (treatment == SegmentTreatment::Keep) {
            if (segment < 4) return JpegReduction::BadSegmentLength;
            if (segment > n - p) return JpegReduction::SegmentPastEnd;
            reduced.insert(reduced.end(), input.begin() + static_cast<ptrdiff_t>(p),
                           input.begin() + static_cast<ptrdiff_t>(p + segment));
        }
        p += segment;
    }
    return JpegReduction::NoStartOfScan;
}

}  // namespace varlin
