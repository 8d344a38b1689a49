#include "cli/OutputChecks.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace varlin::cli {

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool OutputSparesInputs(const std::string& output, std::initializer_list<NamedInput> inputs)
{
    for (const NamedInput& input : inputs) {
        if (SameFile(output, input.path)) {
            std::fprintf(stderr, "%s is %s itself; give another output file.\n", output.c_str(), input.what);
            return false;
        }
    }
    return true;
}

}  // namespace varlin::cli
