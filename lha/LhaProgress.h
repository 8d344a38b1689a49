// Where the archive writer's progress lines go: the "Adding" line and the
// ratio on the standard output stream, the window-refill dots, the code
// length warnings and the input-open failure on the standard error stream.
// A console program keeps the default; tests record the lines instead.
#pragma once

#include <string_view>

namespace varlin {

class LhaProgressSink {
public:
    virtual ~LhaProgressSink() = default;

    virtual void WriteOutput(std::string_view text) = 0;  // standard output stream
    virtual void WriteError(std::string_view text) = 0;   // standard error stream
};

// Writes to stdout and stderr.
class StdioProgressSink final : public LhaProgressSink {
public:
    void WriteOutput(std::string_view text) override;
    void WriteError(std::string_view text) override;
};

// The program-wide stdio sink.
LhaProgressSink& StandardLhaProgressSink();

}  // namespace varlin
