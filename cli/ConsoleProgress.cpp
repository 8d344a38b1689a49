#include "cli/ConsoleProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace varlin::cli {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

ConsoleProgressBar::ConsoleProgressBar() : live(isatty(STDERR_FILENO) != 0) {}

void ConsoleProgressBar::SetStepText(const std::string& text)
{
    if (text != step) EndLine();
    step = text;
    shownPercentage = -1;
    // A step that never shows a percentage (an erase) still gets its line.
    lineOpen = true;
    if (live) Draw();
}

void ConsoleProgressBar::SetPercentage(int32_t percentage)
{
    if (percentage == shownPercentage) return;
    shownPercentage = percentage;
    lineOpen = true;
    if (live) Draw();
}

void ConsoleProgressBar::Draw()
{
    if (shownPercentage < 0) {
        std::fprintf(stderr, "%s%s", live ? "\r" : "", step.c_str());
        std::fflush(stderr);
        return;
    }
    const uint32_t filled = range == 0 ? kBarWidth : std::min<uint32_t>(kBarWidth, position * kBarWidth / range);
    std::string bar(filled, '#');
    bar.resize(kBarWidth, '.');
    std::fprintf(stderr, "%s%s [%s] %3d%%", live ? "\r" : "", step.c_str(), bar.c_str(),
                 static_cast<int>(shownPercentage));
    std::fflush(stderr);
}

void ConsoleProgressBar::EndLine()
{
    if (!lineOpen) return;
    if (!live) Draw();
    std::fputc('\n', stderr);
    std::fflush(stderr);
    lineOpen = false;
}

}  // namespace varlin::cli
