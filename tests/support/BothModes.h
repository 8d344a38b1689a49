// Flash tests run twice: through the driver and through the SMI directly.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace varlin::test {

inline std::string ModeName(const ::testing::TestParamInfo<bool>& mode) { return mode.param ? "Direct" : "Driver"; }

}  // namespace varlin::test

// Instantiates a suite parameterised on direct mode for both modes.
#define VARLIN_IN_BOTH_MODES(suite) \
    INSTANTIATE_TEST_SUITE_P(BothModes, suite, ::testing::Values(false, true), ::varlin::test::ModeName)
