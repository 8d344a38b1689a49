#include "lha/LhaProgress.h"

#include <cstdio>

namespace varlin {

// Each piece goes out at once, so that a terminal shows the two streams in
// the order they were written: "Adding logo.bmp ..... 2.0%".
void StdioProgressSink::WriteOutput(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void StdioProgressSink::WriteError(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

LhaProgressSink& StandardLhaProgressSink()
{
    static StdioProgressSink sink;
    return sink;
}

}  // namespace varlin
