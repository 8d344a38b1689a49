// The -lh5- and -lh0- decoders, on member data from anywhere.  A decode
// either gives exactly the original size or says what was wrong.
//
// Input: the method (byte 0: even -lh5-, odd -lh0-), the original size
// (bytes 1-4, little-endian), then the member data.
#include "lha/LhaDecoder.h"
#include "platform/support/ByteOrder.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

namespace {

// A BIOS member never decodes to more than a ROM holds, many times over.
constexpr size_t kLargestOutput = 16u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    const std::string_view method = (data[0] & 1) == 0 ? "-lh5-" : "-lh0-";
    const size_t originalSize = ReadLe32(data + 1);
    std::vector<uint8_t> out;
    const LhaDecodeResult result =
        DecodeLhaData(method, std::span<const uint8_t>(data + 5, size - 5), originalSize, out, kLargestOutput);
    if (result) {
        FUZZ_EXPECT(out.size() == originalSize);
    } else {
        FUZZ_EXPECT(!result.error.empty());
    }
    return 0;
}
