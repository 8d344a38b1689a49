#include "tests/support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace varlin::test {

namespace fs = std::filesystem;

TempDir::TempDir(Mode mode)
{
    std::string pattern = (fs::temp_directory_path() / "varlin-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
    path = buffer.data();
    if (mode == Enter) {
        previous = fs::current_path();
        fs::current_path(path);
    }
}

TempDir::~TempDir()
{
    std::error_code error;
    if (!previous.empty()) fs::current_path(previous, error);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path, error);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const
{
    std::string file = File(name);
    if (!WriteWholeFile(file, bytes)) throw std::runtime_error("cannot write " + file);
    return file;
}

Bytes ReadFile(const std::string& path)
{
    Bytes bytes;
    if (ReadWholeFile(path, bytes) != ReadStatus::Ok) bytes.clear();
    return bytes;
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

}  // namespace varlin::test
