// extract: a member of a BIOS image, decoded; the logo as the picture it
// was made from, the small logo as the picture it shows.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/ImageReport.h"
#include "cli/LogoOptions.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "award/MemberData.h"
#include "logo/PayloadContents.h"
#include "logo/StockConversion.h"
#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

struct ExtractRequest {
    std::string bios;
    bool logo = false;
    bool smallLogo = false;
    std::string member;  // an index as inspect lists it, or a name
    std::string output;
};

// The member asked for, or -1 after saying why there is none.
long FindMember(const ImageReport& report, const ExtractRequest& request)
{
    const std::vector<ImageMember>& members = report.layout.members;
    if (request.smallLogo) {
        if (report.smallLogo.index >= 0) return static_cast<long>(report.smallLogo.index);
        std::fprintf(stderr, "The image holds no small logo (no member is loaded at 4002:0).\n");
        return -1;
    }
    for (size_t i = 0; i < members.size(); ++i) {
        const bool wanted = request.logo ? members[i].header.IsLogo() : members[i].header.name == request.member;
        if (wanted) return static_cast<long>(i);
    }
    if (request.logo) {
        std::fprintf(stderr, "The image holds no logo member (none is loaded at 4000:0).\n");
        return -1;
    }
    const bool isIndex = !request.member.empty() && request.member.find_first_not_of("0123456789") == std::string::npos;
    if (isIndex && request.member.size() < 10 && std::stoul(request.member) < members.size()) {
        return static_cast<long>(std::stoul(request.member));
    }
    std::fprintf(stderr, "The image holds no member %s (it has %zu, numbered from 0 as inspect lists them).\n",
                 request.member.c_str(), members.size());
    return -1;
}

std::string Settings(const PayloadContents& payload)
{
    return FormatText(
        "header word 0x%04X: %s, %s, position %s, POST messages %s", static_cast<unsigned>(payload.headerWord),
        payload.kind == PayloadPicture::Jpeg ? "JPEG" : "bitmap", payload.resolution800x600 ? "800x600" : "640x480",
        PositionWord(payload.logoPosition).c_str(), payload.showPostMessage ? "shown" : "hidden");
}

int RunExtract(const ExtractRequest& request)
{
    Bytes image;
    if (!ReadImageForTool(request.bios, image)) return kExitFailure;
    if (!OutputSparesInputs(request.output, {{"the BIOS image", request.bios}})) return kExitFailure;
    const ImageReport report = DescribeImage(request.bios, image);
    const long index = FindMember(report, request);
    if (index < 0) return kExitFailure;
    const ImageMember& member = report.layout.members[static_cast<size_t>(index)];
    const std::string name = Printable(member.header.name);

    const MemberData data = DecodeMemberData(image, {member.offset, member.header});
    if (!data.decoded) {
        std::fprintf(stderr, "Member %ld (%s) cannot be decoded: %s.\n", index, name.c_str(), data.problem.c_str());
        return kExitFailure;
    }
    if (!data.CrcHolds(member.header)) {
        std::fprintf(stderr,
                     "Member %ld (%s) decodes to data with the CRC-16 0x%04X where its header says 0x%04X; "
                     "nothing was written.\n",
                     index, name.c_str(), static_cast<unsigned>(data.computedCrc),
                     static_cast<unsigned>(member.header.crc));
        return kExitFailure;
    }

    const Bytes* contents = &data.bytes;
    PayloadContents payload;
    StockPicture stock;
    Bytes stockBitmap;
    if (request.smallLogo) {
        const SmallLogoMember& small = report.smallLogo;
        if (!small.Readable()) {
            std::fprintf(stderr, "The small logo (member %ld, %s) cannot be read: %s; nothing was written.\n", index,
                         name.c_str(), small.problem.c_str());
            return kExitFailure;
        }
        stock = SmallLogoPicture(small);
        stockBitmap = SmallLogoAsBitmap(stock);
        contents = &stockBitmap;
        std::printf("small logo: %s, written as a %d-bit bitmap\n", SmallLogoText(small).c_str(),
                    stock.palette.size() > 16 ? 8 : 4);
    } else if (request.logo) {
        if (DecodeStockLogo(data.bytes, stock)) {
            stockBitmap = StockPictureAsBitmap(stock);
            contents = &stockBitmap;
            std::printf("logo: %s, written as an 8-bit bitmap\n", StockFormatText(stock.format).c_str());
        } else if (ReadPayloadContents(data.bytes, payload)) {
            contents = &payload.pictureFile;
            std::printf("logo: %s\n", Settings(payload).c_str());
        } else {
            std::printf(
                "logo: neither a payload this program makes (a header word, then a bitmap or a JPEG) nor "
                "the stock full-screen format; written as decoded\n");
        }
    }
    if (!ReplaceFileAtomically(request.output, contents->data(), contents->size())) {
        std::fprintf(stderr, "Cannot write %s.\n", request.output.c_str());
        return kExitFailure;
    }
    std::printf("extracted member %ld (%s, %zu bytes decoded) to %s: %zu bytes\n", index, name.c_str(),
                data.bytes.size(), AbsolutePath(request.output).c_str(), contents->size());
    return kExitSuccess;
}

}  // namespace

void AddExtractCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<ExtractRequest>();
    CLI::App* command = app.add_subcommand(
        "extract",
        "Write a member of a BIOS image, decoded and checked against its CRC-16, to a file. With --logo, "
        "a logo this program made comes back as the picture: a bitmap any viewer opens, or the JPEG as "
        "stored; its settings are printed. A logo in the stock full-screen format comes back as a bitmap. With "
        "--small-logo, the small logo of the POST screen (loaded at 4002:0) comes back as a 4-bit bitmap of its "
        "own size, which build --small-logo takes back.");
    command->add_option("BIOS", request->bios, "The BIOS image")->required();
    CLI::Option* logo = command->add_flag("--logo", request->logo, "The logo member (loaded at 4000:0)");
    CLI::Option* member =
        command
            ->add_option("--member", request->member, "A member by its number as inspect lists it (from 0), or by name")
            ->type_name("INDEX|NAME");
    CLI::Option* smallLogo =
        command->add_flag("--small-logo", request->smallLogo, "The small logo of the POST screen (loaded at 4002:0)");
    logo->excludes(member);
    smallLogo->excludes(logo);
    smallLogo->excludes(member);
    command->add_option("-o,--output", request->output, "The file to write")->required();
    command->callback([request, command, &action] {
        if (command->count("--logo") + command->count("--member") + command->count("--small-logo") != 1) {
            throw CLI::ValidationError("extract", "give one of --logo, --small-logo and --member INDEX|NAME");
        }
        action = [request] { return RunExtract(*request); };
    });
}

}  // namespace varlin::cli
