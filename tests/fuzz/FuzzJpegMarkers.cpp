// The JFIF mark, the baseline frame scan and the reduction.  A reduced
// stream starts with SOI, and every segment it keeps before the scan is
// whole: a marker, a length of at least 2 that counts itself, and its body.
#include "logo/JpegMarkers.h"
#include "platform/support/ByteOrder.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> file(data, size);
    int32_t width = 0;
    int32_t height = 0;
    if (HasJfifMark(file)) FindBaselineFrameSize(file.subspan(16), width, height);

    Bytes reduced;
    if (ReduceJpegStream(file, reduced) != JpegReduction::Reduced) return 0;
    FUZZ_EXPECT(reduced.size() >= 3 && reduced[0] == 0xFF && reduced[1] == 0xD8);
    size_t at = 2;
    while (at + 1 < reduced.size() && reduced[at + 1] != 0xDA) {
        FUZZ_EXPECT(reduced[at] == 0xFF);
        FUZZ_EXPECT(at + 4 <= reduced.size());
        const size_t length = ReadBe16(&reduced[at + 2]);
        FUZZ_EXPECT(length >= 2 && at + 2 + length <= reduced.size());
        at += 2 + length;
    }
    FUZZ_EXPECT(at + 1 < reduced.size() && reduced[at] == 0xFF && reduced[at + 1] == 0xDA);
    return 0;
}
