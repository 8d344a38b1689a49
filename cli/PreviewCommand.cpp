// preview: the boot screen as the preview window shows it, written as a PNG.
#include <stb_image_write.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/PreviewComposition.h"
#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/ImageReport.h"
#include "cli/LogoOptions.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "logo/SmallLogoConversion.h"

namespace varlin::cli {

namespace {

struct PreviewRequest {
    std::string picture;
    std::string output;
    std::string bios;
    std::string smallLogo;
    LogoOptions logo;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;
    bool advanced = false;
};

// The format the logo would be built in: that of the image's own logo
// (none without an image), unless --logo-format says otherwise.  False
// after saying why when the image cannot be read.
bool ChoosePreviewTarget(const PreviewRequest& request, LogoTarget& target)
{
    target = ChooseLogoTargetWithoutImage(request.logoFormat);
    if (request.bios.empty()) return true;
    Bytes image;
    if (!ReadImageForTool(request.bios, image)) return false;
    target = ChooseLogoTargetForImage(image, request.logoFormat);
    return true;
}

// The small logo picture as the build would put it into the image's own
// small logo, loaded into `shown`; false after saying why there is none.
bool LoadSmallLogo(ConsoleSession& session, const PreviewRequest& request, CPicture& shown, std::string& form)
{
    Bytes image;
    if (!ReadImageForTool(request.bios, image)) return false;
    const SmallLogoMember old = ReadSmallLogo(image, ReadAwardImage(image));
    const std::string problem = SmallLogoProblem(old);
    if (!problem.empty()) {
        session.messages.ShowMessage(problem);
        return false;
    }
    if (!CheckSmallLogoPicture(request.smallLogo, old.Width(), old.Height(), session.messages)) return false;
    Bytes file;
    RgbImage picture;
    if (ReadWholeFile(request.smallLogo, file, kPictureReadLimit) != ReadStatus::Ok || file.empty() ||
        !session.pictures.LoadPicture(file.data(), file.size(), picture) || picture.Empty()) {
        std::fprintf(stderr, "The small logo cannot be decoded: %s\n", request.smallLogo.c_str());
        return false;
    }
    const Bytes bitmap = SmallLogoAsBitmap(MakeSmallLogo(picture, old, Dithering::FloydSteinberg).shown);
    form = SmallLogoText(old);
    return shown.LoadFromMemory(bitmap.data(), bitmap.size());
}

int RunPreview(const PreviewRequest& request)
{
    ConsoleSession session;
    CWizardApp& app = session.app;
    CPictureChecker& checker = session.checker;
    if (!OutputSparesInputs(request.output,
                            {{"the picture", request.picture}, {"the small logo", request.smallLogo}})) {
        return kExitFailure;
    }
    if (!checker.CheckPicture(request.picture)) return kExitFailure;

    CPreviewDialog& preview = app.previewDialog;
    if (!ChoosePreviewTarget(request, preview.logoTarget)) return kExitFailure;
    preview.pictureWidth = checker.pictureWidth;
    preview.pictureHeight = checker.pictureHeight;
    preview.picturePath = request.picture;
    preview.showPostMessage = request.logo.postMessage ? 1 : 0;
    preview.logoPosition = request.logo.logoPosition;
    if (request.advanced) {
        // The Advanced Mode dialog's Preview: the settings as given; a bitmap
        // is always shown in 640*480, and the picture must fit the resolution.
        PictureKind kind = PictureKind::Bitmap;
        if (!DecidePictureKindForDialog(request.picture, session.messages, kind)) return kExitFailure;
        LogoSettings settings;
        if (!ApplyLogoOptions(request.logo, kind, settings)) return kExitUsage;
        preview.screenResolution = settings.screenResolution;
        if (!CheckScreenResolution(checker, preview.screenResolution, session.messages)) return kExitFailure;
    } else {
        // The Easy Mode: the picture's size chooses the resolution.
        const bool large = checker.pictureWidth > kPreviewWidth || checker.pictureHeight > kPreviewHeight;
        preview.screenResolution = request.logo.resolutionGiven ? request.logo.screenResolution : (large ? 1 : 0);
    }
    preview.LoadPictures();
    if (!preview.logo.Loaded()) {
        std::fprintf(stderr, "The picture cannot be decoded: %s\n", request.picture.c_str());
        return kExitFailure;
    }

    CPicture smallLogo(session.pictures);
    std::string smallLogoForm;
    if (!request.smallLogo.empty() && !LoadSmallLogo(session, request, smallLogo, smallLogoForm)) return kExitFailure;

    PreviewSettings settings = preview.Settings();
    settings.advancedMode = request.advanced ? 1 : 0;
    const PreviewLayout layout = LayOutPreview(settings);
    std::array<const CPicture*, 6> overlays{};
    for (size_t i = 0; i < overlays.size(); ++i) overlays[i] = &preview.overlayPictures[i];
    const RgbImage screen = ComposePreview(layout, preview.logo, overlays, smallLogo.Loaded() ? &smallLogo : nullptr);
    if (stbi_write_png(request.output.c_str(), screen.width, screen.height, 3, screen.rgb.data(), screen.width * 3) ==
        0) {
        std::fprintf(stderr, "Cannot write %s\n", request.output.c_str());
        return kExitFailure;
    }
    if (layout.fullScreen) {
        std::printf("preview %s: the logo as %s, over the whole screen\n", request.output.c_str(),
                    StockFormatText(preview.logoTarget.format).c_str());
    } else {
        std::printf("preview %s: logo %dx%d at %d,%d (scale %.7g)%s\n", request.output.c_str(),
                    static_cast<int>(preview.pictureWidth * layout.scale),
                    static_cast<int>(preview.pictureHeight * layout.scale), layout.logoX, layout.logoY,
                    static_cast<double>(layout.scale), layout.drawOverlays ? ", with the POST messages" : "");
    }
    if (smallLogo.Loaded()) {
        std::printf("small logo %dx%d at %d,%d, as %s\n", smallLogo.Width(), smallLogo.Height(),
                    kPreviewWidth - smallLogo.Width(), kSmallLogoTop, smallLogoForm.c_str());
    }
    return kExitSuccess;
}

}  // namespace

void AddPreviewCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<PreviewRequest>();
    CLI::App* command = app.add_subcommand(
        "preview",
        "Draw the boot screen as the preview shows it, 640x480, and write it as a PNG. Without "
        "--advanced it is the Easy Mode's preview: the logo centred, 800x600 for pictures larger than "
        "640x480.");
    command->add_option("--picture", request->picture, "The logo: an 8-bit BMP or a baseline JPEG")->required();
    command->add_option("--output", request->output, "The PNG to write")->required();
    AddLogoOptions(*command, request->logo);
    CLI::Option* bios =
        command->add_option("--bios", request->bios,
                            "The BIOS image the logo is for: where its logo is in the stock full-screen format, the "
                            "preview shows the picture as the build converts it, over the whole screen");
    command
        ->add_option("--small-logo", request->smallLogo,
                     "The small logo, drawn at the top right of the screen, one text row down, as the build "
                     "converts it for the image's own small logo (needs --bios)")
        ->type_name("PICTURE")
        ->needs(bios);
    AddLogoFormatOption(*command, request->logoFormat);
    command->add_flag("--advanced", request->advanced,
                      "Preview as the Advanced Mode dialog does: every setting is yours, the position included");
    command->callback([request, &action] { action = [request] { return RunPreview(*request); }; });
}

}  // namespace varlin::cli
