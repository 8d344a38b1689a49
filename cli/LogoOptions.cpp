#include "cli/LogoOptions.h"

#include <cstdio>
#include <map>
#include <string>

namespace varlin::cli {

namespace {

const std::map<std::string, int32_t> kResolutions = {
    {"640x480", kResolution640x480},
    {"800x600", kResolution800x600},
};

const std::map<std::string, int32_t> kPositions = {
    {"center", kPositionCenter},      {"bottom-right", kPositionBottomRight}, {"bottom-left", kPositionBottomLeft},
    {"top-right", kPositionTopRight}, {"top-left", kPositionTopLeft},
};

// An option whose words stand for numbers of the logo settings.
template <typename Store>
CLI::Option* AddWordOption(CLI::App& command, const std::string& name, const std::map<std::string, int32_t>& words,
                           const std::string& help, Store store)
{
    return command
        .add_option_function<std::string>(
            name, [&words, store](const std::string& word) { store(words.at(word)); }, help)
        ->check(CLI::IsMember(words))
        ->type_name("WORD");
}

const std::map<std::string, int32_t> kLogoFormats = {
    {"payload", static_cast<int32_t>(LogoFormatChoice::Payload)},
    {"stock", static_cast<int32_t>(LogoFormatChoice::Stock)},
};

const std::map<std::string, int32_t> kDitherings = {
    {"auto", static_cast<int32_t>(DitheringChoice::Auto)},
    {"floyd-steinberg", static_cast<int32_t>(DitheringChoice::FloydSteinberg)},
    {"ordered", static_cast<int32_t>(DitheringChoice::Ordered)},
    {"none", static_cast<int32_t>(DitheringChoice::None)},
};

}  // namespace

CLI::Option* AddDitheringOption(CLI::App& command, DitheringChoice& choice)
{
    return AddWordOption(command, "--dither", kDitherings,
                         "How a stock logo, full-screen or small, is reduced to its colours: floyd-steinberg (error "
                         "diffusion, the finest), "
                         "ordered (an 8x8 pattern, which packs far smaller), none (the smallest); default auto: "
                         "Floyd-Steinberg where its logo fits the image, else ordered, else none",
                         [&choice](int32_t value) { choice = static_cast<DitheringChoice>(value); });
}

CLI::Option* AddSmallLogoOption(CLI::App& command, std::string& path)
{
    return command
        .add_option("--small-logo", path,
                    "The small logo the BIOS shows at the top right of its POST screen (the member loaded at "
                    "4002:0): a picture --picture takes, or a 4- or 8-bit BMP of the small logo's own size (as "
                    "extract --small-logo writes it). It is scaled into the image's small logo, whose form and "
                    "size stay: in the classic form each cell of 8x14 pixels shows one of the 15 standard "
                    "colours on black")
        ->type_name("PICTURE");
}

CLI::Option* AddLogoFormatOption(CLI::App& command, LogoFormatChoice& choice)
{
    return AddWordOption(command, "--logo-format", kLogoFormats,
                         "The format of the new logo: payload (a header word, then the bitmap or JPEG) or stock (the "
                         "full-screen format of stock Award BIOSes, in the image's size and colours, else 4-bit "
                         "640x480 in the 16 standard colours); default the format of the image's current logo; "
                         "for an image without one, stock where its BIOS shows stock logos, and none at all where "
                         "it shows no full-screen logo",
                         [&choice](int32_t value) { choice = static_cast<LogoFormatChoice>(value); });
}

CLI::Option* AddResolutionOption(CLI::App& command, LogoOptions& options, const std::string& help)
{
    return AddWordOption(command, "--resolution", kResolutions, help, [&options](int32_t value) {
        options.screenResolution = value;
        options.resolutionGiven = true;
    });
}

void AddLogoOptions(CLI::App& command, LogoOptions& options)
{
    AddResolutionOption(command, options,
                        "Screen resolution of the logo (800x600 only for JPEG pictures); default 640x480");
    AddWordOption(command, "--position", kPositions, "Where the logo stands on a 640x480 screen; default center",
                  [&options](int32_t value) { options.logoPosition = value; });
    command.add_flag("--post-message", options.postMessage,
                     "Keep the POST messages shown over the logo (640x480 only)");
}

bool ApplyLogoOptions(const LogoOptions& options, PictureKind kind, LogoSettings& settings)
{
    if (kind == PictureKind::Bitmap && options.screenResolution == kResolution800x600) {
        std::fprintf(stderr, "800x600 is for JPEG pictures only; a bitmap logo is shown in 640x480.\n");
        return false;
    }
    settings.screenResolution = options.screenResolution;
    settings.logoPosition = options.logoPosition;
    settings.showPostMessage = options.postMessage ? 1 : 0;
    return true;
}

std::string PositionWord(int32_t logoPosition)
{
    for (const auto& [word, position] : kPositions) {
        if (position == logoPosition) return word;
    }
    return "unknown";
}

}  // namespace varlin::cli
