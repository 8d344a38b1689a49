// pack: one file as a one-member -lh5- LHA archive, as the logo build packs
// the logo payload.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "lha/LhaWriter.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

constexpr char kArchiveFileName[] = "tmp_b_pic";

struct PackRequest {
    std::string input;
    std::string archive;
    std::string name;
    std::string loadAddress = kDefaultLoadAddressText;
};

// "SEG:OFF", each one to four hexadecimal digits.
std::string CheckLoadAddress(const std::string& text)
{
    const size_t colon = text.find(':');
    auto hexNumber = [](const std::string& part) {
        return !part.empty() && part.size() <= 4 &&
               part.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
    };
    if (colon == std::string::npos || !hexNumber(text.substr(0, colon)) || !hexNumber(text.substr(colon + 1))) {
        return "expected SEG:OFF in hexadecimal, such as 4000:0";
    }
    return {};
}

// Level-1 headers hold 32-bit sizes.
bool FitsArchive(const std::string& path)
{
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error || size <= UINT32_MAX;  // an unreadable file is reported by the writer
}

int RunPack(const PackRequest& request)
{
    std::string input = AbsolutePath(request.input);
    const std::string archive = AbsolutePath(request.archive);
    const std::string name = request.name.empty() ? std::string(FileNamePart(request.input)) : request.name;
    if (!OutputSparesInputs(archive, {{"the input file", input}})) return kExitFailure;
    if (!FitsArchive(input)) {
        std::fprintf(stderr, "%s is larger than an LHA member can be (4 GiB).\n", input.c_str());
        return kExitFailure;
    }

    // The writer works on a file of its own; the user's archive is replaced
    // only by a complete one.
    PrivateWorkDirectory work;
    if (!work.Entered()) {
        std::fprintf(stderr, "Cannot make a working directory.\n");
        return kExitFailure;
    }
    LhaWriter writer;
    writer.LhaResetState();
    writer.SetLoadAddressText(request.loadAddress);
    const LhaResult result = writer.LhaWriteArchive(input, kArchiveFileName, name);
    std::fflush(stdout);
    if (!result) {
        // The writer has already said that it cannot open the input.
        if (result.failure != LhaFailure::CannotOpenInput) std::fprintf(stderr, "%s\n", result.message.c_str());
        return kExitFailure;
    }
    Bytes bytes;
    if (ReadWholeFile(kArchiveFileName, bytes) != ReadStatus::Ok ||
        !ReplaceFileAtomically(archive, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "Cannot write %s\n", archive.c_str());
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddPackCommand(CLI::App& app, CommandAction& action)
{
    auto pack = std::make_shared<PackRequest>();
    CLI::App* command =
        app.add_subcommand("pack",
                           "Pack a file as a one-member LHA archive, the way the logo goes into a BIOS image: "
                           "a level-1 header with the load address in its time-stamp field, the data compressed "
                           "with -lh5- (or stored when that would not make it smaller), and a closing zero byte.  "
                           "Prints \"Adding NAME\" and the packed size in per cent of the original.");
    command->add_option("INPUT", pack->input, "The file to pack")->required();
    command->add_option("ARCHIVE", pack->archive, "The archive to write (replaced if it exists)")->required();
    command->add_option("--name", pack->name, "The member name (default: INPUT's file name; at most 230 bytes)");
    command->add_option("--load-address", pack->loadAddress, "The load address SEG:OFF in hexadecimal")
        ->default_str(kDefaultLoadAddressText)
        ->check(CLI::Validator(CheckLoadAddress, "SEG:OFF"));
    command->callback([pack, &action] { action = [pack] { return RunPack(*pack); }; });
}

}  // namespace varlin::cli
