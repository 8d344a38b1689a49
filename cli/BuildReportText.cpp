#include "cli/BuildReportText.h"

#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

unsigned long Number(uint64_t value) { return static_cast<unsigned long>(value); }

std::string DitheringLine(const RebuildReport& report)
{
    const std::vector<DitheringTried>& tried = report.dithering;
    const DitheringTried& used = tried.back();
    if (!report.ditheringAutomatic) {
        return FormatText("dithering: %s, as asked (a logo member of %lu bytes)", DitheringName(used.dithering),
                          Number(used.archiveSize));
    }
    if (tried.size() == 1) {
        return FormatText("dithering: %s: its logo member of %lu bytes fits the room of %lu",
                          DitheringName(used.dithering), Number(used.archiveSize), Number(report.largestArchive));
    }
    std::string line = FormatText("dithering: %s, as the room of %lu bytes is too small for ",
                                  DitheringName(used.dithering), Number(report.largestArchive));
    for (size_t i = 0; i + 1 < tried.size(); ++i) {
        if (i > 0) line += " and ";
        line += FormatText("%s's logo member of %lu", DitheringName(tried[i].dithering), Number(tried[i].archiveSize));
    }
    return line + FormatText(" (this one: %lu)", Number(used.archiveSize));
}

std::string MovedLine(size_t moved, const char* after, uint64_t newLength, uint64_t oldLength)
{
    const int64_t shift = static_cast<int64_t>(newLength) - static_cast<int64_t>(oldLength);
    return FormatText("moved the %lu member%s after the %s by %s%ld bytes, unchanged and in order", Number(moved),
                      moved == 1 ? "" : "s", after, shift > 0 ? "+" : "", static_cast<long>(shift));
}

}  // namespace

std::vector<std::string> BuildReportLines(const RebuildReport& report)
{
    std::vector<std::string> lines;
    if (report.logo.stock && !report.dithering.empty()) lines.push_back(DitheringLine(report));
    if (report.membersMoved > 0) {
        lines.push_back(MovedLine(report.membersMoved, "logo", report.memberLength, report.slot.oldLength));
    }
    return lines;
}

std::vector<std::string> SmallLogoReportLines(const SmallLogoReport& report)
{
    const std::string dithering =
        report.stock ? FormatText(", dithering %s", DitheringName(report.dithering)) : std::string();
    std::vector<std::string> lines = {FormatText("small logo member of %lu bytes at 0x%lX, %s%s",
                                                 Number(report.memberLength), Number(report.slot.offset),
                                                 report.form.c_str(), dithering.c_str())};
    if (report.membersMoved > 0) {
        lines.push_back(MovedLine(report.membersMoved, "small logo", report.memberLength, report.slot.oldLength));
    }
    return lines;
}

}  // namespace varlin::cli
