// varlin-samples: writes the project's sample pictures and BIOS images.
// The results are committed under samples/; run this to make them again.
#include <cstdio>
#include <filesystem>
#include <string>

#include "samples/generator/SampleBios.h"
#include "samples/generator/SamplePictures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varlin-samples SAMPLES-FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    std::error_code error;
    std::filesystem::create_directories(root + "/pictures", error);
    if (error || !varlin::samples::WriteSamplePictures(root + "/pictures")) {
        std::fprintf(stderr, "cannot write the sample pictures under %s\n", root.c_str());
        return 1;
    }
    std::printf("sample pictures written to %s/pictures\n", root.c_str());

    const std::string work = std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(root + "/bios", error);
    if (error || !varlin::samples::WriteSampleBiosImages(root + "/bios", root + "/pictures", work)) {
        std::fprintf(stderr, "cannot write the sample BIOS images under %s\n", root.c_str());
        return 1;
    }
    std::printf("sample BIOS images written to %s/bios\n", root.c_str());
    return 0;
}
