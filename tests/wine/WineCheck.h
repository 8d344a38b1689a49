// The little the Windows-side test programs need to report: each failed
// expectation prints a line and counts, and the program's exit status is the
// number of failures.
#pragma once

#include <cstdio>

namespace varlin::wine {

inline int failures = 0;

#define WINE_EXPECT(condition, ...)                                              \
    do {                                                                         \
        if (!(condition)) {                                                      \
            ++::varlin::wine::failures;                                          \
            std::printf("%s:%d: expected %s: ", __FILE__, __LINE__, #condition); \
            std::printf(__VA_ARGS__);                                            \
            std::printf("\n");                                                   \
            std::fflush(stdout);                                                 \
        }                                                                        \
    } while (false)

}  // namespace varlin::wine
