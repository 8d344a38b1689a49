// Palette preparation of a logo payload (a bitmap behind its header word),
// file to file as the build runs it.
#include "logo/PalettePreparation.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string prepared = fuzz::InputFilePath("prepared");
    const std::string payload = fuzz::WriteInputFile("payload", data, size);
    std::remove(prepared.c_str());
    if (PreparePalette(payload, prepared)) {
        Bytes out;
        FUZZ_EXPECT(ReadWholeFile(prepared, out) == ReadStatus::Ok);
    }
    return 0;
}
