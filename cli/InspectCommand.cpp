// inspect: what a BIOS image holds, as the logo build sees it.
#include <cstdio>
#include <memory>
#include <string>

#include "biosfile/BiosId.h"
#include "cli/Commands.h"
#include "cli/WorkDirectory.h"
#include "flash/AwardRecords.h"
#include "logo/LogoSlotFinder.h"
#include "logo/MemberChain.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace varlin::cli {

namespace {

struct InspectRequest {
    std::string bios;
    bool json = false;
};

// What the image says of itself.
struct ImageReport {
    std::string path;
    size_t size = 0;
    MemberChain chain;
    bool hasSlot = false;
    uint64_t slotOffset = 0;
    uint64_t oldLength = 0;
    uint64_t freeAfter = 0;  // 0xFF bytes after the old logo (or from the slot)
    std::string refusal;     // why there is no slot, when the user would be told
    char sizeCode = 0;
    uint32_t romSize = 0;
    std::string biosId;
};

ImageReport Describe(const std::string& path, const Bytes& image)
{
    ImageReport report;
    report.path = path;
    report.size = image.size();
    report.chain = WalkMemberChain(image);
    if (const char* refusal = SlotRefusal(report.chain.end)) report.refusal = refusal;
    report.hasSlot = report.chain.end == ChainEnd::FreeSpace || report.chain.end == ChainEnd::LogoLast;
    if (report.hasSlot) {
        report.slotOffset = report.chain.endOffset;
        if (report.chain.end == ChainEnd::LogoLast) report.oldLength = report.chain.members.back().header.ArchiveLength();
        for (uint64_t at = report.slotOffset + report.oldLength; at < image.size() && image[at] == 0xFF; ++at) {
            ++report.freeAfter;
        }
    }
    if (image.size() >= award::kSizeCodeFromEnd) report.sizeCode = static_cast<char>(image[image.size() - award::kSizeCodeFromEnd]);
    report.romSize = static_cast<uint32_t>(SizeCodeRomUnits(image)) * 0x10000;
    if (image.size() >= award::kBiosIdFromEnd) report.biosId = BiosIdText(&image[image.size() - award::kBiosIdFromEnd]);
    return report;
}

// The largest logo archive the slot takes: one 0xFF byte must stay after it.
uint64_t LargestArchive(const ImageReport& report)
{
    const uint64_t run = report.oldLength + report.freeAfter;
    return run == 0 ? 0 : run - 1;
}

std::string LoadAddress(const MemberHeader& header)
{
    return FormatText("%X:%X", static_cast<unsigned>(header.loadSegment), static_cast<unsigned>(header.loadOffset));
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (char c : text) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

void PrintText(const ImageReport& report)
{
    std::printf("image:      %s, %zu bytes\n", report.path.c_str(), report.size);
    std::printf("members:\n");
    std::printf("  %-9s %-6s %-9s %-9s %-6s %-7s %-6s %s\n", "offset", "header", "packed", "original", "method", "load",
                "crc", "name");
    for (const ChainMember& member : report.chain.members) {
        const MemberHeader& h = member.header;
        std::printf("  0x%07llX 0x%-4X %-9u %-9u %-6s %-7s 0x%04X %s\n", static_cast<unsigned long long>(member.offset),
                    static_cast<unsigned>(h.headerSize), h.packedSize, h.originalSize, Printable(h.method).c_str(),
                    LoadAddress(h).c_str(), static_cast<unsigned>(h.crc), Printable(h.name).c_str());
    }
    if (report.hasSlot) {
        std::printf("logo slot:  0x%llX, old logo %llu bytes%s\n", static_cast<unsigned long long>(report.slotOffset),
                    static_cast<unsigned long long>(report.oldLength), report.oldLength == 0 ? " (the image has none)" : "");
        std::printf("free after: %llu bytes of 0xFF; a new logo archive may take up to %llu bytes\n",
                    static_cast<unsigned long long>(report.freeAfter), static_cast<unsigned long long>(LargestArchive(report)));
    } else {
        std::printf("logo slot:  none: %s\n",
                    report.refusal.empty() ? "the member chain runs off the end of the image" : report.refusal.c_str());
    }
    std::printf("size code:  '%s' (%u KiB)\n", Printable(std::string(1, report.sizeCode)).c_str(), report.romSize / 1024);
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

void PrintJson(const ImageReport& report)
{
    std::printf("{\n  \"path\": %s,\n  \"size\": %zu,\n  \"members\": [", JsonString(report.path).c_str(), report.size);
    const char* separator = "\n";
    for (const ChainMember& member : report.chain.members) {
        const MemberHeader& h = member.header;
        std::printf("%s    {\"offset\": %llu, \"headerSize\": %u, \"packedSize\": %u, \"originalSize\": %u, "
                    "\"method\": %s, \"loadAddress\": %s, \"crc\": %u, \"name\": %s}",
                    separator, static_cast<unsigned long long>(member.offset), static_cast<unsigned>(h.headerSize),
                    h.packedSize, h.originalSize, JsonString(h.method).c_str(), JsonString(LoadAddress(h)).c_str(),
                    static_cast<unsigned>(h.crc), JsonString(h.name).c_str());
        separator = ",\n";
    }
    std::printf("%s],\n", report.chain.members.empty() ? "" : "\n  ");
    if (report.hasSlot) {
        std::printf("  \"logoSlot\": {\"offset\": %llu, \"oldLength\": %llu, \"freeAfter\": %llu, \"largestArchive\": %llu},\n",
                    static_cast<unsigned long long>(report.slotOffset), static_cast<unsigned long long>(report.oldLength),
                    static_cast<unsigned long long>(report.freeAfter), static_cast<unsigned long long>(LargestArchive(report)));
        std::printf("  \"slotRefusal\": null,\n");
    } else {
        std::printf("  \"logoSlot\": null,\n  \"slotRefusal\": %s,\n",
                    report.refusal.empty() ? "null" : JsonString(report.refusal).c_str());
    }
    std::printf("  \"sizeCode\": %s,\n  \"romSize\": %u,\n  \"biosId\": %s\n}\n",
                JsonString(std::string(1, report.sizeCode)).c_str(), report.romSize, JsonString(report.biosId).c_str());
}

constexpr size_t kImageReadLimit = 64u << 20;

int RunInspect(const InspectRequest& request)
{
    Bytes image;
    const ReadStatus status = ReadWholeFile(request.bios, image, kImageReadLimit);
    if (status != ReadStatus::Ok) {
        std::fprintf(stderr, "%s\n", status == ReadStatus::TooLarge ? "This is no BIOS image: it is larger than 64 MiB."
                                                                      : "Cannot open BIOS file!");
        return kExitFailure;
    }
    const ImageReport report = Describe(AbsolutePath(request.bios), image);
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
        "inspect", "List what a BIOS image holds: its LHA member chain, the logo slot and the free space after it, "
                   "the size code and the BIOS ID.");
    command->add_option("BIOS", request->bios, "The BIOS image")->required();
    command->add_flag("--json", request->json, "Print one JSON document instead of text");
    command->callback([request, &action] { action = [request] { return RunInspect(*request); }; });
}

}  // namespace varlin::cli
