// Outputs that would destroy an input: a run refuses, before any work, to
// write over a file it reads (the same path, a hard link or a symbolic link
// to it).
#pragma once

#include <initializer_list>
#include <string>

namespace varlin::cli {

struct NamedInput {
    const char* what;  // "the BIOS image", "the picture"
    std::string path;
};

// True when `a` and `b` name one existing file.
bool SameFile(const std::string& a, const std::string& b);

// False, after saying which input it is, when `output` is one of `inputs`.
bool OutputSparesInputs(const std::string& output, std::initializer_list<NamedInput> inputs);

}  // namespace varlin::cli
