#include "cli/WorkDirectory.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "cli/StopCleanup.h"

namespace varlin::cli {

namespace fs = std::filesystem;

PrivateWorkDirectory::PrivateWorkDirectory()
{
    std::error_code error;
    previous = fs::current_path(error);
    if (error) return;
    std::string pattern = (fs::temp_directory_path(error) / "varlin-XXXXXX").string();
    if (error) return;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return;
    path = buffer.data();
    RemoveOnStop(path.string());
    fs::current_path(path, error);
    entered = !error;
}

PrivateWorkDirectory::~PrivateWorkDirectory()
{
    std::error_code error;
    if (entered) fs::current_path(previous, error);
    if (!path.empty()) {
        fs::remove_all(path, error);
        KeepOnStop(path.string());
    }
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace varlin::cli
