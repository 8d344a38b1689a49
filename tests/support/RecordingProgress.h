// A progress port that keeps everything it was told.
#pragma once

#include <string>
#include <vector>

#include "platform/ProgressPort.h"

namespace varlin::test {

struct RecordingProgress : ProgressPort {
    void SetStepText(const std::string& text) override { steps.push_back(text); }
    void SetRange(uint32_t upper) override { ranges.push_back(upper); }
    void SetPosition(uint32_t position) override { positions.push_back(position); }
    void SetPercentage(int32_t percentage) override { percentages.push_back(percentage); }

    std::vector<std::string> steps;
    std::vector<uint32_t> ranges;
    std::vector<uint32_t> positions;
    std::vector<int32_t> percentages;
};

}  // namespace varlin::test
