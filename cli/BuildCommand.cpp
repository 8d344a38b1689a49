// build: a new BIOS image with the picture as its boot logo.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "biosfile/BiosFileMessages.h"
#include "award/BiosId.h"
#include "cli/BuildReportText.h"
#include "cli/ChecksumText.h"
#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/LogoOptions.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

struct BuildRequest {
    std::string bios;
    std::string picture;
    std::string smallLogo;
    std::string output;
    LogoOptions logo;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;
    DitheringChoice dithering = DitheringChoice::Auto;
};

int RunBuild(const BuildRequest& request)
{
    const std::string bios = AbsolutePath(request.bios);
    const std::string picture = request.picture.empty() ? "" : AbsolutePath(request.picture);
    const std::string smallLogo = request.smallLogo.empty() ? "" : AbsolutePath(request.smallLogo);
    const std::string output = AbsolutePath(request.output);
    if (!OutputSparesInputs(output,
                            {{"the BIOS image", bios}, {"the picture", picture}, {"the small logo", smallLogo}})) {
        return kExitFailure;
    }

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
    // Every setting is the user's own, as in the Advanced Mode dialog.
    LogoJob job;
    job.biosPath = bios;
    job.picturePath = picture;
    job.workImagePath = session.WorkImagePath();
    job.outputPath = output;
    job.smallLogoPath = smallLogo;
    if (!picture.empty()) {
        if (!checker.CheckPicture(picture)) return kExitFailure;
        PictureKind kind = PictureKind::Bitmap;
        if (!DecidePictureKindForDialog(picture, messages, kind)) return kExitFailure;
        if (!ApplyLogoOptions(request.logo, kind, job.settings)) return kExitUsage;
        if (!CheckScreenResolution(checker, job.settings.screenResolution, messages)) return kExitFailure;
    }
    job.settings.logoFormat = request.logoFormat;
    job.settings.dithering = request.dithering;
    if (!session.BuildLogoImage(job)) return kExitFailure;

    const LogoBuild& build = session.logoBuild;
    const RebuildReport& report = build.lastRebuild;
    const SmallLogoReport& small = build.lastSmallLogo;
    std::vector<std::string> lines;
    if (!picture.empty()) {
        const std::string format =
            report.logo.stock ? StockFormatText(report.logo.format)
                              : FormatText("header word 0x%04X", static_cast<unsigned>(build.logoHeaderWord & 0xFFFF));
        lines.push_back(FormatText("built %s: logo member of %lu bytes at 0x%lX, %s", output.c_str(),
                                   static_cast<unsigned long>(report.memberLength),
                                   static_cast<unsigned long>(report.memberOffset), format.c_str()));
        const std::vector<std::string> more = BuildReportLines(report);
        lines.insert(lines.end(), more.begin(), more.end());
    }
    if (small.built) {
        std::vector<std::string> more = SmallLogoReportLines(small);
        if (picture.empty()) more.front() = "built " + output + ": " + more.front();
        lines.insert(lines.end(), more.begin(), more.end());
    }
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    std::printf("%s\n", ChecksumRepairLine(picture.empty() ? small.checksumsBefore : report.checksumsBefore,
                                           small.built ? small.checksumsAfter : report.checksumsAfter)
                            .c_str());
    return kExitSuccess;
}

}  // namespace

void AddBuildCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<BuildRequest>();
    CLI::App* command = app.add_subcommand(
        "build",
        "Build a new BIOS image with the picture as its boot logo, keeping the boot block's checksums. The "
        "new logo takes the old one's place, and members after it move along, unchanged. It is written in "
        "the format of the image's current logo: where that is the full-screen format of stock Award "
        "BIOSes, the picture is scaled to its size and reduced to its colours. An image without a logo "
        "gets one in that stock format where its BIOS shows stock logos, and none where its BIOS shows no "
        "full-screen logo (unless --logo-format asks for one). With --small-logo the small logo at the top "
        "right of the POST screen (the member loaded at 4002:0) is replaced too, or alone, in its own form "
        "and size. The source image is never changed; OUTPUT is written only when the new image has passed "
        "its check (every member where it belongs and unchanged, the logo decoded back to the payload, "
        "every other byte, the checksums).");
    command->add_option("--bios", request->bios, "The source BIOS image")->required();
    command->add_option("--picture", request->picture, "The logo: an 8-bit BMP or a baseline JPEG");
    AddSmallLogoOption(*command, request->smallLogo);
    command->add_option("--output", request->output, "The new BIOS image")->required();
    AddLogoOptions(*command, request->logo);
    AddLogoFormatOption(*command, request->logoFormat);
    AddDitheringOption(*command, request->dithering);
    command->callback([request, command, &action] {
        if (request->picture.empty() && request->smallLogo.empty()) {
            throw CLI::ValidationError("build", "give --picture PICTURE, --small-logo PICTURE or both");
        }
        const size_t logoOptions = command->count("--resolution") + command->count("--position") +
                                   command->count("--post-message") + command->count("--logo-format");
        if (request->picture.empty() && logoOptions > 0) {
            throw CLI::ValidationError("build", "logo options go with --picture");
        }
        action = [request] { return RunBuild(*request); };
    });
}

}  // namespace varlin::cli
