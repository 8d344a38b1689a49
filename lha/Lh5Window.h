// The sliding window of the -lh5- compressor and what a match search hands
// back.  The window is one byte array: the 8192-byte dictionary, then the
// look-ahead from the current position, with room for a full match beyond
// the last position.  The current position runs from 8192 to 16383; when it
// reaches 16384 the window slides down by a dictionary's length.
#pragma once

#include <cstddef>

namespace varlin {

inline constexpr unsigned DICT_SIZE = 8192;  // window size; distances are sent as 13-bit values
inline constexpr unsigned MAX_MATCH = 256;   // longest match
inline constexpr unsigned MIN_MATCH = 3;     // shortest match sent as a match

inline constexpr size_t kWindowSize = 2 * DICT_SIZE + MAX_MATCH;
// Bytes read into the window at the start and kept when it slides.
inline constexpr size_t kWindowFill = DICT_SIZE + MAX_MATCH;

// The longest earlier match of the current position and how far back it
// starts (1 to 8191).  A length below MIN_MATCH stands for no match.
struct Lh5Match {
    unsigned length = 0;
    unsigned distance = 0;

    friend bool operator==(const Lh5Match&, const Lh5Match&) = default;
};

}  // namespace varlin
