#include "tests/fuzz/FuzzSupport.h"

#include <filesystem>
#include <vector>

namespace varlin::fuzz {

namespace {

// Made on first use, removed with everything in it when the process ends.
struct InputFolder {
    InputFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "varlin-fuzz-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) std::abort();
        path = buffer.data();
    }
    ~InputFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string path;
};

const std::string& Folder()
{
    static const InputFolder folder;
    return folder.path;
}

}  // namespace

std::string InputFilePath(const std::string& name) { return Folder() + "/" + name; }

std::string WriteInputFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = InputFilePath(name);
    if (!WriteWholeFile(path, data, size)) std::abort();
    return path;
}

}  // namespace varlin::fuzz
