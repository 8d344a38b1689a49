// check-picture and payload: picture acceptance and the logo payload.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/LogoOptions.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "platform/support/Files.h"

namespace varlin::cli {

namespace {

struct CheckPictureRequest {
    std::string picture;
    LogoOptions logo;
};

int RunCheckPicture(const CheckPictureRequest& request)
{
    ConsoleSession session;
    CPictureChecker& checker = session.checker;
    if (!checker.CheckPicture(request.picture)) return kExitFailure;
    if (request.logo.resolutionGiven &&
        !CheckScreenResolution(checker, request.logo.screenResolution, session.messages)) {
        return kExitFailure;
    }
    const bool bitmap = PictureKindByExtension(request.picture) == PictureKind::Bitmap;
    std::printf("accepted %dx%d %s\n", checker.pictureWidth, checker.pictureHeight, bitmap ? "bmp" : "jpeg");
    return kExitSuccess;
}

struct PayloadRequest {
    std::string picture;
    std::string output;
    LogoOptions logo;
};

int RunPayload(const PayloadRequest& request)
{
    ConsoleSession session;
    CPictureChecker& checker = session.checker;
    LogoSettings settings;  // the user's own, as in the Advanced Mode dialog

    const std::string picture = AbsolutePath(request.picture);
    const std::string output = AbsolutePath(request.output);
    if (!OutputSparesInputs(output, {{"the picture", picture}})) return kExitFailure;
    if (!checker.CheckPicture(picture)) return kExitFailure;
    PictureKind kind = PictureKind::Bitmap;
    if (!DecidePictureKindForDialog(picture, session.messages, kind)) return kExitFailure;
    if (!ApplyLogoOptions(request.logo, kind, settings)) return kExitUsage;
    if (!CheckScreenResolution(checker, settings.screenResolution, session.messages)) return kExitFailure;

    PrivateWorkDirectory work;
    if (!work.Entered()) {
        std::fprintf(stderr, "Cannot make a working directory.\n");
        return kExitFailure;
    }
    LogoBuild& build = session.logoBuild;
    if (!build.WriteLogoPayload(picture, settings)) return kExitFailure;
    Bytes payload;
    if (ReadWholeFile(kPayloadFileName, payload) != ReadStatus::Ok ||
        !ReplaceFileAtomically(output, payload.data(), payload.size())) {
        std::fprintf(stderr, "Cannot write %s\n", output.c_str());
        return kExitFailure;
    }
    std::printf("payload %s: %zu bytes, header word 0x%04X\n", output.c_str(), payload.size(),
                static_cast<unsigned>(build.logoHeaderWord & 0xFFFF));
    return kExitSuccess;
}

}  // namespace

void AddPictureCommands(CLI::App& app, CommandAction& action)
{
    auto check = std::make_shared<CheckPictureRequest>();
    CLI::App* checkCommand =
        app.add_subcommand("check-picture",
                           "Check that a picture can become the logo: an 8-bit BMP up to 640x480 or a baseline "
                           "JPEG up to 800x600.  Prints \"accepted WIDTHxHEIGHT bmp|jpeg\", or the refusal.");
    checkCommand->add_option("FILE", check->picture, "The picture")->required();
    AddResolutionOption(*checkCommand, check->logo, "Also check that the picture fits this screen resolution");
    checkCommand->callback([check, &action] { action = [check] { return RunCheckPicture(*check); }; });

    auto payload = std::make_shared<PayloadRequest>();
    CLI::App* payloadCommand =
        app.add_subcommand("payload",
                           "Write the logo payload of a picture: the 2-byte header word with the logo settings, "
                           "then the bitmap (without \"BM\") or the reduced JPEG.");
    payloadCommand->add_option("FILE", payload->picture, "The picture")->required();
    payloadCommand->add_option("-o,--output", payload->output, "Where to write the payload")->required();
    AddLogoOptions(*payloadCommand, payload->logo);
    payloadCommand->callback([payload, &action] { action = [payload] { return RunPayload(*payload); }; });
}

}  // namespace varlin::cli
