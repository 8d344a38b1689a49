// build: a new BIOS image with the picture as its boot logo.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "biosfile/BiosFileMessages.h"
#include "award/BiosId.h"
#include "cli/ChecksumText.h"
#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/LogoOptions.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "logo/LogoSlotFinder.h"
#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

struct BuildRequest {
    std::string bios;
    std::string picture;
    std::string output;
    LogoOptions logo;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;
};

int RunBuild(const BuildRequest& request)
{
    const std::string bios = AbsolutePath(request.bios);
    const std::string picture = AbsolutePath(request.picture);
    const std::string output = AbsolutePath(request.output);
    if (!OutputSparesInputs(output, {{"the BIOS image", bios}, {"the picture", picture}})) return kExitFailure;

    // The build works through fixed-name files in the current directory and
    // the program directory; both are this run's own.
    PrivateWorkDirectory work;
    if (!work.Entered()) {
        std::fprintf(stderr, "Cannot make a working directory.\n");
        return kExitFailure;
    }
    ConsoleSession session(work.Path().string() + "/");
    ConsoleMessagePort& messages = session.messages;
    CPictureChecker& checker = session.checker;

    // Only an image of a ROM's size can be a BIOS image: anything else is
    // refused before work as a BIOS file of the wrong size is.
    std::error_code error;
    const uintmax_t biosSize = std::filesystem::file_size(bios, error);
    if (!error && !IsRomImageSize(biosSize)) {
        messages.ShowSystemMessage(text::kBiosSizeMismatch, text::kOpenFileCaption, {});
        return kExitFailure;
    }
    if (!checker.CheckPicture(picture)) return kExitFailure;
    PictureKind kind = PictureKind::Bitmap;
    if (!DecidePictureKindForDialog(picture, messages, kind)) return kExitFailure;
    // Every setting is the user's own, as in the Advanced Mode dialog.
    LogoJob job{bios, picture, session.WorkImagePath(), output, {}};
    if (!ApplyLogoOptions(request.logo, kind, job.settings)) return kExitUsage;
    if (!CheckScreenResolution(checker, job.settings.screenResolution, messages)) return kExitFailure;
    job.settings.logoFormat = request.logoFormat;
    if (!session.BuildLogoImage(job)) return kExitFailure;

    uint32_t length = 0;
    CLogoSlotFinder finder(messages);
    const int32_t slot = finder.FindLogoSlot(output, length);
    const LogoBuild& build = session.logoBuild;
    const LogoTarget& logo = build.lastRebuild.logo;
    const std::string format =
        logo.stock ? StockFormatText(logo.format)
                   : FormatText("header word 0x%04X", static_cast<unsigned>(build.logoHeaderWord & 0xFFFF));
    std::printf("built %s: logo member of %u bytes at 0x%X, %s\n", output.c_str(), length, static_cast<unsigned>(slot),
                format.c_str());
    std::printf("%s\n",
                ChecksumRepairLine(build.lastRebuild.checksumsBefore, build.lastRebuild.checksumsAfter).c_str());
    return kExitSuccess;
}

}  // namespace

void AddBuildCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<BuildRequest>();
    CLI::App* command = app.add_subcommand(
        "build",
        "Build a new BIOS image with the picture as its boot logo, keeping the boot block's checksums. The "
        "logo is written in the format of the image's current one: where that is the full-screen format "
        "of stock Award BIOSes, the picture is scaled to its size and reduced to its colours. The "
        "source image is never changed; OUTPUT is written only when the new image has passed its check "
        "(its member chain, the logo decoded back to the payload, every other byte, the checksums).");
    command->add_option("--bios", request->bios, "The source BIOS image")->required();
    command->add_option("--picture", request->picture, "The logo: an 8-bit BMP or a baseline JPEG")->required();
    command->add_option("--output", request->output, "The new BIOS image")->required();
    AddLogoOptions(*command, request->logo);
    AddLogoFormatOption(*command, request->logoFormat);
    command->callback([request, &action] { action = [request] { return RunBuild(*request); }; });
}

}  // namespace varlin::cli
