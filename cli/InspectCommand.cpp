// inspect: what a BIOS image holds, as the logo build and the board see it.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/ChecksumText.h"
#include "cli/Commands.h"
#include "cli/ImageReport.h"
#include "cli/WorkDirectory.h"
#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

struct InspectRequest {
    std::string bios;
    bool json = false;
};

std::string LoadAddress(const MemberHeader& header)
{
    return FormatText("%X:%X", static_cast<unsigned>(header.loadSegment), static_cast<unsigned>(header.loadOffset));
}

// Whether a rebuild may move the member: members of the run after its
// first move with a logo of another size before them; the rest never move.
const char* Place(const ImageMember& member) { return member.mayMove ? "moves" : "fixed"; }

std::string FullScreenLogoText(const ImageReport& report)
{
    if (report.code.showsStockLogos) return "shown by this BIOS (stock format)";
    return "not shown by this BIOS (its code never looks for a stock logo)";
}

// "classic 17x6 cells (136x84), member 2 (1602 bytes)", or why there is none.
std::string SmallLogoLine(const SmallLogoMember& logo)
{
    if (logo.form == SmallLogoForm::None) return "none (no member is loaded at 4002:0)";
    if (!logo.Readable())
        return FormatText("%s (member %ld)", SmallLogoText(logo).c_str(), static_cast<long>(logo.index));
    return FormatText("%s, member %ld (%zu bytes)", SmallLogoText(logo).c_str(), static_cast<long>(logo.index),
                      logo.data.size());
}

void PrintText(const ImageReport& report)
{
    const std::vector<ImageMember>& members = report.layout.members;
    std::printf("image:      %s, %zu bytes\n", report.path.c_str(), report.size);
    std::printf("members:\n");
    std::printf("  %-3s %-9s %-6s %-9s %-9s %-6s %-7s %-6s %-7s %-7s %s\n", "#", "offset", "header", "packed",
                "original", "method", "load", "crc", "data", "rebuild", "name");
    for (size_t i = 0; i < members.size(); ++i) {
        const ImageMember& member = members[i];
        const MemberHeader& h = member.header;
        std::printf("  %-3zu 0x%07llX 0x%-4X %-9u %-9u %-6s %-7s 0x%04X %-7s %-7s %s\n", i,
                    static_cast<unsigned long long>(member.offset), static_cast<unsigned>(h.headerSize), h.packedSize,
                    h.originalSize, Printable(h.method).c_str(), LoadAddress(h).c_str(), static_cast<unsigned>(h.crc),
                    report.checks[i].Verdict(), Place(member), Printable(h.name).c_str());
    }
    for (size_t i = 0; i < members.size(); ++i) {
        const MemberCheck& check = report.checks[i];
        if (!check.decoded) {
            std::printf("  member %zu cannot be decoded: %s\n", i, check.problem.c_str());
        } else if (!check.crcHolds) {
            std::printf("  member %zu decodes to data with the CRC-16 0x%04X\n", i,
                        static_cast<unsigned>(check.computedCrc));
        }
    }
    std::printf("banner:     %s\n",
                report.code.banner.empty() ? "none found in the system BIOS" : Printable(report.code.banner).c_str());
    std::printf("full-screen logo: %s\n", FullScreenLogoText(report).c_str());
    std::printf("logo format: %s\n", LogoFormatText(report.logoFormat).c_str());
    if (report.hasSlot) {
        const std::string after =
            report.membersAfter == 0
                ? ""
                : FormatText("; %zu member%s after it move%s with a new one", report.membersAfter,
                             report.membersAfter == 1 ? "" : "s", report.membersAfter == 1 ? "s" : "");
        std::printf("logo slot:  0x%llX, old logo %llu bytes%s%s\n",
                    static_cast<unsigned long long>(report.slot.offset),
                    static_cast<unsigned long long>(report.slot.oldLength),
                    report.slot.member < 0 ? " (the image has none)" : "", after.c_str());
        std::printf("free after: %llu bytes of 0xFF; a new logo archive may take up to %llu bytes\n",
                    static_cast<unsigned long long>(report.freeAfter),
                    static_cast<unsigned long long>(report.largestArchive));
    } else {
        std::printf("logo slot:  none: %s\n",
                    report.refusal.empty() ? "the member chain runs off the end of the image" : report.refusal.c_str());
    }
    std::printf("small logo: %s\n", SmallLogoLine(report.smallLogo).c_str());
    std::printf("%s", ChecksumLines(report.checksums).c_str());
    std::printf("size code:  '%s' (%u KiB)\n", Printable(std::string(1, report.sizeCode)).c_str(),
                report.romSize / 1024);
    std::printf("BIOS ID:    %s\n", Printable(report.biosId).c_str());
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            out += FormatText("\\u%04x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string LogoFormatJson(const LogoFormat& format)
{
    std::string json = FormatText("{\"kind\": \"%s\", \"text\": %s", LogoFormatWord(format.kind),
                                  JsonString(LogoFormatText(format)).c_str());
    if (format.kind == LogoFormatKind::Stock) {
        json +=
            FormatText(", \"bits\": %d, \"width\": %u, \"height\": %u, \"paletteBlock\": %s",
                       format.stock.variant == StockVariant::FourBit ? 4 : 8, static_cast<unsigned>(format.stock.width),
                       static_cast<unsigned>(format.stock.height), format.stock.paletteBlock ? "true" : "false");
    }
    return json + "}";
}

std::string SmallLogoJson(const SmallLogoMember& logo)
{
    std::string json = FormatText("{\"form\": \"%s\", \"text\": %s", SmallLogoFormWord(logo.form),
                                  JsonString(SmallLogoText(logo)).c_str());
    json += logo.index < 0 ? std::string(", \"member\": null")
                           : FormatText(", \"member\": %ld", static_cast<long>(logo.index));
    if (logo.Readable()) {
        json += FormatText(", \"length\": %zu, \"width\": %d, \"height\": %d", logo.data.size(), logo.Width(),
                           logo.Height());
    }
    if (logo.form == SmallLogoForm::Classic) {
        json += FormatText(", \"columns\": %u, \"rows\": %u", static_cast<unsigned>(logo.classic.columns),
                           static_cast<unsigned>(logo.classic.rows));
    } else if (logo.form == SmallLogoForm::Stock) {
        json += FormatText(", \"bits\": %d, \"paletteBlock\": %s", logo.stock.variant == StockVariant::FourBit ? 4 : 8,
                           logo.stock.paletteBlock ? "true" : "false");
    }
    return json + "}";
}

void PrintJson(const ImageReport& report)
{
    const std::vector<ImageMember>& members = report.layout.members;
    std::printf("{\n  \"path\": %s,\n  \"size\": %zu,\n  \"members\": [", JsonString(report.path).c_str(), report.size);
    const char* separator = "\n";
    for (size_t i = 0; i < members.size(); ++i) {
        const MemberHeader& h = members[i].header;
        const MemberCheck& check = report.checks[i];
        std::printf(
            "%s    {\"index\": %zu, \"offset\": %llu, \"headerSize\": %u, \"packedSize\": %u, "
            "\"originalSize\": %u, \"method\": %s, \"loadAddress\": %s, \"crc\": %u, \"name\": %s, "
            "\"data\": %s, \"computedCrc\": %s, \"problem\": %s, \"inRun\": %s, \"rebuild\": \"%s\"}",
            separator, i, static_cast<unsigned long long>(members[i].offset), static_cast<unsigned>(h.headerSize),
            h.packedSize, h.originalSize, JsonString(h.method).c_str(), JsonString(LoadAddress(h)).c_str(),
            static_cast<unsigned>(h.crc), JsonString(h.name).c_str(), JsonString(check.Verdict()).c_str(),
            check.decoded ? std::to_string(check.computedCrc).c_str() : "null",
            check.decoded ? "null" : JsonString(check.problem).c_str(), members[i].inRun ? "true" : "false",
            Place(members[i]));
        separator = ",\n";
    }
    std::printf("%s],\n", members.empty() ? "" : "\n  ");
    std::printf("  \"banner\": %s,\n", report.code.banner.empty() ? "null" : JsonString(report.code.banner).c_str());
    std::printf("  \"fullScreenLogo\": {\"stockShown\": %s, \"text\": %s},\n",
                report.code.showsStockLogos ? "true" : "false", JsonString(FullScreenLogoText(report)).c_str());
    std::printf("  \"logoFormat\": %s,\n", LogoFormatJson(report.logoFormat).c_str());
    if (report.hasSlot) {
        std::printf(
            "  \"logoSlot\": {\"offset\": %llu, \"oldLength\": %llu, \"membersAfter\": %zu, \"freeAfter\": %llu, "
            "\"largestArchive\": %llu},\n",
            static_cast<unsigned long long>(report.slot.offset), static_cast<unsigned long long>(report.slot.oldLength),
            report.membersAfter, static_cast<unsigned long long>(report.freeAfter),
            static_cast<unsigned long long>(report.largestArchive));
        std::printf("  \"slotRefusal\": null,\n");
    } else {
        std::printf("  \"logoSlot\": null,\n  \"slotRefusal\": %s,\n",
                    report.refusal.empty() ? "null" : JsonString(report.refusal).c_str());
    }
    std::printf("  \"smallLogo\": %s,\n", SmallLogoJson(report.smallLogo).c_str());
    std::printf("  \"bootBlockChecksums\": %s,\n", ChecksumJson(report.checksums).c_str());
    std::printf("  \"sizeCode\": %s,\n  \"romSize\": %u,\n  \"biosId\": %s\n}\n",
                JsonString(std::string(1, report.sizeCode)).c_str(), report.romSize, JsonString(report.biosId).c_str());
}

int RunInspect(const InspectRequest& request)
{
    Bytes image;
    if (!ReadImageForTool(request.bios, image)) return kExitFailure;
    const ImageReport report = DescribeImage(AbsolutePath(request.bios), image);
    if (request.json) {
        PrintJson(report);
    } else {
        PrintText(report);
    }
    return kExitSuccess;
}

}  // namespace

void AddInspectCommand(CLI::App& app, CommandAction& action)
{
    auto request = std::make_shared<InspectRequest>();
    CLI::App* command = app.add_subcommand(
        "inspect",
        "List what a BIOS image holds: its LHA members (the run from offset 0 and those past the gap, each "
        "decoded and checked against its CRC-16, and whether a rebuild may move it), the BIOS's banner and "
        "whether its code shows a full-screen logo in the stock format, the format of its logo (our payload, "
        "the stock full-screen format, or none), the logo slot and the free space after the run, the small "
        "logo of the POST screen (the member loaded at 4002:0: its form and size), the boot block's checksums "
        "(the main and the block sum the board tests at power-on, stored and computed), the size code and the "
        "BIOS ID.");
    command->add_option("BIOS", request->bios, "The BIOS image")->required();
    command->add_flag("--json", request->json, "Print one JSON document instead of text");
    command->callback([request, &action] { action = [request] { return RunInspect(*request); }; });
}

}  // namespace varlin::cli
