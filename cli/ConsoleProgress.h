// Progress on a terminal: a line for each step on the standard error
// stream, with a bar once the step shows a percentage (redrawn in place on a
// terminal; elsewhere only its last state, once).
#pragma once

#include <cstdint>
#include <string>

#include "platform/ProgressPort.h"

namespace varlin::cli {

class ConsoleProgressBar : public ProgressPort {
public:
    ConsoleProgressBar();

    void SetStepText(const std::string& text) override;
    void SetRange(uint32_t upper) override { range = upper; }
    void SetPosition(uint32_t value) override { position = value; }
    void SetPercentage(int32_t percentage) override;

    // Ends the bar's line, so that what is printed next starts on its own.
    void EndLine();

private:
    void Draw();

    bool live = false;  // stderr is a terminal
    std::string step;
    uint32_t range = 0;
    uint32_t position = 0;
    int32_t shownPercentage = -1;
    bool lineOpen = false;
};

}  // namespace varlin::cli
