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

}  // namespace

std::vector<std::string> BuildReportLines(const RebuildReport& report)
{
    std::vector<std::string> lines;
    if (report.logo.stock && !report.dithering.empty()) lines.push_back(DitheringLine(report));
    if (report.membersMoved > 0) {
        const int64_t shift = static_cast<int64_t>(report.memberLength) - static_cast<int64_t>(report.slot.oldLength);
        lines.push_back(FormatText("moved the %lu member%s after the logo by %s%ld bytes, unchanged and in order",
                                   Number(report.membersMoved), report.membersMoved == 1 ? "" : "s",
                                   shift > 0 ? "+" : "", static_cast<long>(shift)));
    }
    return lines;
}

}  // namespace varlin::cli
