// flash: program a BIOS file into an emulated board or a real board's chip,
// or build the board's own BIOS with a new logo and program that, through
// the program's own update flow and Update BIOS dialog.
#include <cstdio>
#include <memory>
#include <string>

#include "biosfile/BackupFiles.h"
#include "cli/BuildReportText.h"
#include "cli/ChecksumText.h"
#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/LogoOptions.h"
#include "cli/RomTarget.h"
#include "cli/WorkDirectory.h"

namespace varlin::cli {

namespace {

constexpr int32_t kEasyWidth = 640;  // a larger picture is shown in 800*600 on the Easy path
constexpr int32_t kEasyHeight = 480;

struct FlashRequest {
    RomTarget target;
    std::string bios;
    std::string picture;
    std::string smallLogo;
    LogoOptions logo;
    bool logoOptionsGiven = false;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;
    DitheringChoice dithering = DitheringChoice::Auto;
    bool yes = false;
    bool no = false;
};

// The job the picture page and the accept page of the Easy path, or the
// Advanced Mode dialog, hand to the build, with the small logo where one is
// given.  Returns an exit status when the picture or the options are
// refused, else -1.
int SetUpLogoJob(ConsoleSession& session, const FlashRequest& request, const std::string& picture,
                 const std::string& smallLogo, LogoJob& job)
{
    CPictureChecker& checker = session.checker;
    job.smallLogoPath = smallLogo;
    if (picture.empty()) {
        // Only the small logo, whose form the board's BIOS decides.
    } else if (!checker.CheckPicture(picture)) {
        return kExitFailure;
    } else if (request.logoOptionsGiven) {
        PictureKind kind = PictureKind::Bitmap;
        if (!DecidePictureKindForDialog(picture, session.messages, kind)) return kExitFailure;
        if (!ApplyLogoOptions(request.logo, kind, job.settings)) return kExitUsage;
        if (!CheckScreenResolution(checker, job.settings.screenResolution, session.messages)) return kExitFailure;
    } else {
        // The Easy path: centred, without the POST messages.
        const bool large = checker.pictureWidth > kEasyWidth || checker.pictureHeight > kEasyHeight;
        job.settings.screenResolution = large ? kResolution800x600 : kResolution640x480;
    }
    job.biosPath = session.app.biosFilePath;
    job.picturePath = picture;
    job.workImagePath = session.WorkImagePath();
    job.settings.logoFormat = request.logoFormat;
    job.settings.dithering = request.dithering;
    return -1;
}

// The board's own BIOS, read out of its ROM as a backup reads it, stands
// for the BIOS file the program finds for the board at start-up.
bool CopyBoardBios(ConsoleSession& session)
{
    session.fileDialogs.presetPath = session.app.biosFilePath;
    BackupFiles files(session.romDevice, session.platform);
    ConsoleBackupDialog dialog(session.progress);
    return files.CreateBackupFile(dialog);
}

int RunFlash(const FlashRequest& request)
{
    RomTarget target = request.target;
    MakeTargetPathsAbsolute(target);
    const std::string bios = request.bios.empty() ? "" : AbsolutePath(request.bios);
    const std::string picture = request.picture.empty() ? "" : AbsolutePath(request.picture);
    const std::string smallLogo = request.smallLogo.empty() ? "" : AbsolutePath(request.smallLogo);
    const bool building = !picture.empty() || !smallLogo.empty();

    // The program directory of this run holds the board's BIOS copy and the
    // rebuilt image; the logo build works in the current directory.
    PrivateWorkDirectory work;
    if (!work.Entered()) {
        std::fprintf(stderr, "Cannot make a working directory.\n");
        return kExitFailure;
    }
    ConsoleSession session(work.Path().string() + "/");
    if (request.yes) session.messages.presetAnswer = MessageAnswer::Yes;
    if (request.no) session.messages.presetAnswer = MessageAnswer::No;
    CWizardApp& app = session.app;

    LogoJob job;
    if (building) {
        const int refused = SetUpLogoJob(session, request, picture, smallLogo, job);
        if (refused >= 0) return refused;
    }
    if (!session.Start(target, BoardAccess::Write)) return kExitFailure;
    const std::string into = session.TargetText(target);

    if (!building) {
        // The Advanced page's Update BIOS.
        app.biosFilePath = bios;
        if (!app.FlashBios(bios)) return kExitFailure;
        std::printf("flashed %s into %s: every region programmed and verified\n", bios.c_str(), into.c_str());
    } else {
        if (!CopyBoardBios(session)) return kExitFailure;
        if (!session.BuildLogoImage(job)) return kExitFailure;
        if (!app.FlashBios(job.workImagePath)) return kExitFailure;
        const RebuildReport& rebuild = session.logoBuild.lastRebuild;
        const SmallLogoReport& small = session.logoBuild.lastSmallLogo;
        std::vector<std::string> lines;
        if (!picture.empty()) lines = BuildReportLines(rebuild);
        if (small.built) {
            const std::vector<std::string> more = SmallLogoReportLines(small);
            lines.insert(lines.end(), more.begin(), more.end());
        }
        for (const std::string& line : lines) std::printf("%s\n", line.c_str());
        std::printf("%s\n", ChecksumRepairLine(picture.empty() ? small.checksumsBefore : rebuild.checksumsBefore,
                                               small.built ? small.checksumsAfter : rebuild.checksumsAfter)
                                .c_str());
        if (!picture.empty() && rebuild.logo.stock) {
            std::printf("logo written as %s\n", StockFormatText(rebuild.logo.format).c_str());
        }
        const std::string logos = picture.empty()     ? "the small logo " + smallLogo
                                  : smallLogo.empty() ? "the logo " + picture
                                                      : "the logo " + picture + " and the small logo " + smallLogo;
        std::printf("flashed the board's BIOS with %s into %s: every region programmed and verified\n", logos.c_str(),
                    into.c_str());
    }
    return kExitSuccess;
}

}  // namespace

void AddFlashCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<FlashRequest>();
    CLI::App* command = app.add_subcommand(
        "flash",
        "Program a BIOS file into a board region by region, Boot last, reading each region back; or, "
        "with --picture, read the board's own BIOS out of its ROM, build it with the new logo and program that. "
        "With --programmer each region goes to the chip through flashrom, which erases and writes what differs. "
        "With --picture and no logo option the logo is built as the Easy Mode builds it (centred; 800x600 for a "
        "JPEG larger than 640x480); logo options build it as the Advanced Mode dialog does. The logo is written "
        "in the format of the board's current one (see build). With --small-logo the small logo of the POST "
        "screen is replaced as build does it, with or without --picture. Exits 0 only when "
        "every region was programmed and verified.");
    AddRomTargetOptions(*command, request->target);
    CLI::Option* bios = command->add_option("BIOS", request->bios, "The BIOS file to program");
    CLI::Option* picture =
        command->add_option("--picture", request->picture, "The new logo: an 8-bit BMP or a baseline JPEG");
    bios->excludes(picture);
    bios->excludes(AddSmallLogoOption(*command, request->smallLogo));
    AddLogoOptions(*command, request->logo);
    AddLogoFormatOption(*command, request->logoFormat);
    AddDitheringOption(*command, request->dithering);
    CLI::Option* yes =
        command->add_flag("--yes", request->yes, "Program a BIOS file whose BIOS ID differs from the board's");
    CLI::Option* no = command->add_flag("--no", request->no,
                                        "Refuse a BIOS file whose BIOS ID differs (default "
                                        "when no terminal can ask)");
    yes->excludes(no);
    command->callback([request, command, &action] {
        CheckRomTarget(*command, request->target);
        const bool building = !request->picture.empty() || !request->smallLogo.empty();
        if (request->bios.empty() == !building) {
            throw CLI::ValidationError("flash",
                                       "give either a BIOS file or --picture PICTURE and/or --small-logo PICTURE");
        }
        request->logoOptionsGiven =
            command->count("--resolution") + command->count("--position") + command->count("--post-message") > 0;
        if ((request->logoOptionsGiven || command->count("--logo-format") > 0) && request->picture.empty()) {
            throw CLI::ValidationError("flash", "logo options go with --picture");
        }
        if (command->count("--dither") > 0 && !building) {
            throw CLI::ValidationError("flash", "--dither goes with --picture or --small-logo");
        }
        action = [request] { return RunFlash(*request); };
    });
}

}  // namespace varlin::cli
