#include "cli/LogoOptions.h"

#include <cstdio>
#include <map>
#include <string>

namespace varlin::cli {

void AddLogoOptions(CLI::App& command, LogoOptions& options)
{
    static const std::map<std::string, int32_t> kResolutions = {
        {"640x480", kResolution640x480},
        {"800x600", kResolution800x600},
    };
    static const std::map<std::string, int32_t> kPositions = {
        {"center", kPositionCenter},         {"bottom-right", kPositionBottomRight},
        {"bottom-left", kPositionBottomLeft}, {"top-right", kPositionTopRight},
        {"top-left", kPositionTopLeft},
    };
    command
        .add_option_function<int32_t>(
            "--resolution",
            [&options](int32_t value) {
                options.screenResolution = value;
                options.resolutionGiven = true;
            },
            "Screen resolution of the logo (800x600 only for JPEG pictures)")
        ->transform(CLI::CheckedTransformer(kResolutions))
        ->default_str("640x480");
    command.add_option("--position", options.logoPosition, "Where the logo stands on a 640x480 screen")
        ->transform(CLI::CheckedTransformer(kPositions))
        ->default_str("center");
    command.add_flag("--post-message", options.postMessage,
                     "Keep the POST messages shown over the logo (640x480 only)");
}

bool ApplyLogoOptions(const LogoOptions& options, PictureKind kind, CAdvancedModeDialog& builder)
{
    if (kind == PictureKind::Bitmap && options.screenResolution == kResolution800x600) {
        std::fprintf(stderr, "800x600 is for JPEG pictures only; a bitmap logo is shown in 640x480.\n");
        return false;
    }
    builder.screenResolution = options.screenResolution;
    builder.logoPosition = options.logoPosition;
    builder.showPostMessage = options.postMessage ? 1 : 0;
    builder.pictureIsBitmap = kind == PictureKind::Bitmap ? 1 : 0;
    return true;
}

}  // namespace varlin::cli
