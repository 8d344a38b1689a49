// Runs the command-line tool (or any program) as users do, and collects
// what it printed and its exit status.
#pragma once

#include <string>
#include <vector>

namespace varlin::test {

struct CommandResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs `program` with `arguments` (no shell), optionally feeding `input` to
// its standard input.
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input = "");

// Runs the varlin tool built with these tests.
inline CommandResult RunVarlin(const std::vector<std::string>& arguments, const std::string& input = "")
{
    return RunProgram(VARLIN_CLI_PATH, arguments, input);
}

}  // namespace varlin::test
