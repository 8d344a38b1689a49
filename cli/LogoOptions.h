// The logo settings as command-line options, shared by every command that
// builds or shows a logo.
#pragma once

#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

#include "logo/LogoBuild.h"

namespace varlin::cli {

struct LogoOptions {
    int32_t screenResolution = kResolution640x480;
    bool resolutionGiven = false;
    int32_t logoPosition = kPositionCenter;
    bool postMessage = false;
};

void AddLogoOptions(CLI::App& command, LogoOptions& options);

// --resolution alone, for commands that take no other logo setting.
CLI::Option* AddResolutionOption(CLI::App& command, LogoOptions& options, const std::string& help);

// --logo-format payload|stock: the format of the new logo, where the
// image's own would be used.
CLI::Option* AddLogoFormatOption(CLI::App& command, LogoFormatChoice& choice);

// --dither auto|floyd-steinberg|ordered|none: how a stock logo is dithered.
CLI::Option* AddDitheringOption(CLI::App& command, DitheringChoice& choice);

// --small-logo PICTURE: the picture for the small logo at 4002:0.
CLI::Option* AddSmallLogoOption(CLI::App& command, std::string& path);

// Puts the options into the logo settings as the Advanced Mode dialog would
// after the picture was browsed: a bitmap is always shown in 640*480.  False
// (after saying why) when the options ask for what the picture cannot have.
bool ApplyLogoOptions(const LogoOptions& options, PictureKind kind, LogoSettings& settings);

// The word --position takes for a logo position.
std::string PositionWord(int32_t logoPosition);

}  // namespace varlin::cli
