// The picture check, on the input taken as a bitmap and as a JPEG file.  A
// picture it accepts has a size within the limits of its kind, never zero.
#include "logo/PictureChecker.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string bitmap = fuzz::InputFilePath("picture.bmp");
    static const std::string jpeg = fuzz::InputFilePath("picture.jpg");
    fuzz::QuietMessages messages;
    CPictureChecker checker(messages);

    fuzz::WriteInputFile("picture.bmp", data, size);
    if (checker.CheckPicture(bitmap)) {
        FUZZ_EXPECT(checker.pictureWidth >= 1 && checker.pictureWidth <= 640);
        FUZZ_EXPECT(checker.pictureHeight >= 1 && checker.pictureHeight <= 480);
    } else {
        FUZZ_EXPECT(messages.shown == 1);
    }
    messages.shown = 0;
    fuzz::WriteInputFile("picture.jpg", data, size);
    if (checker.CheckPicture(jpeg)) {
        FUZZ_EXPECT(checker.pictureWidth >= 1 && checker.pictureWidth <= 800);
        FUZZ_EXPECT(checker.pictureHeight >= 1 && checker.pictureHeight <= 600);
    } else {
        FUZZ_EXPECT(messages.shown == 1);
    }
    return 0;
}
