// The names in a folder, as the Windows-side tests look for files left
// behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace varlin::wine {

// Every entry of `folder` but "." and "..".
inline std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace varlin::wine
