#include "lha/LhaProgress.h"

#include <cstdio>

namespace varlin {

void StdioProgressSink::WriteOutput(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void StdioProgressSink::WriteError(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
}

LhaProgressSink& StandardLhaProgressSink()
{
    static StdioProgressSink sink;
    return sink;
}

}  // namespace varlin
