// Replacing a file on Windows as the program does: MoveFileReplacing, and
// the way it takes where the system cannot replace in one step (Windows 9x),
// with each step made to fail by a file another program holds open or a
// read-only target.  Whatever fails, the target's name holds the old file or
// the new one, and no temporary file is left beside it.
//
//   file_replace_wine_test WORK_DIR
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/support/Files.h"
#include "platform/support/PartialFile.h"
#include "tests/wine/UiAutomation.h"
#include "tests/wine/FolderNames.h"
#include "tests/wine/WineCheck.h"

namespace varlin::wine {

namespace {

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!'};

enum class Obstacle { None, TargetHeld, NewFileHeld, TargetReadOnly };

struct ReplaceCase {
    const char* name;
    bool targetExists;
    Obstacle obstacle;
    bool replaces;  // by moving aside; MoveFileReplacing may refuse more
};

const ReplaceCase kCases[] = {
    {"an existing file is replaced", true, Obstacle::None, true},
    {"a new name is taken", false, Obstacle::None, true},
    {"the old file cannot be moved aside", true, Obstacle::TargetHeld, false},
    {"the new file cannot take the name", true, Obstacle::NewFileHeld, false},
    {"a read-only file is kept", true, Obstacle::TargetReadOnly, false},
};

struct ReplaceWay {
    const char* name;
    bool (*replace)(const std::string& from, const std::string& to);
    bool exact;  // whether the case says whether it replaces
};

const ReplaceWay kWays[] = {
    {"ReplaceByMovingAside", ReplaceByMovingAside, true},
    {"MoveFileReplacing", MoveFileReplacing, false},
};

// Held open the way another program may hold a file: it may be read and
// written, but neither renamed nor deleted.
HANDLE Hold(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void EmptyFolder(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : NamesIn(folder)) {
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

void RunCase(const std::string& folder, const ReplaceWay& way, const ReplaceCase& test)
{
    EmptyFolder(folder);
    const std::string target = folder + "\\backup.bin";
    const std::string from = TemporaryNameBeside(target);
    if (test.targetExists) WriteWholeFile(target, kOld);
    WriteWholeFile(from, kNew);

    HANDLE held = INVALID_HANDLE_VALUE;
    if (test.obstacle == Obstacle::TargetHeld) held = Hold(target);
    if (test.obstacle == Obstacle::NewFileHeld) held = Hold(from);
    if (test.obstacle == Obstacle::TargetReadOnly) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    WINE_EXPECT(test.obstacle != Obstacle::TargetHeld || held != INVALID_HANDLE_VALUE, "%s: target held", test.name);

    const bool replaced = way.replace(from, target);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

    if (way.exact) WINE_EXPECT(replaced == test.replaces, "%s, %s: replaced %d", way.name, test.name, replaced);
    Bytes now;
    const bool present = ReadWholeFile(target, now) == ReadStatus::Ok;
    if (replaced) {
        WINE_EXPECT(present && now == kNew, "%s, %s: the new file has the name", way.name, test.name);
    } else if (test.targetExists) {
        WINE_EXPECT(present && now == kOld, "%s, %s: the old file keeps its name", way.name, test.name);
    } else {
        WINE_EXPECT(!present, "%s, %s: no file has the name", way.name, test.name);
    }
    // Only the target is left, and the new file where the system would not
    // let it be deleted.
    for (const std::string& name : NamesIn(folder)) {
        const bool expected = name == "backup.bin" ||
                              (test.obstacle == Obstacle::NewFileHeld && !replaced && folder + "\\" + name == from);
        WINE_EXPECT(expected, "%s, %s: %s is left beside the target", way.name, test.name, name.c_str());
    }
}

}  // namespace

}  // namespace varlin::wine

int main(int argc, char** argv)
{
    using namespace varlin::wine;
    if (argc != 2) {
        std::printf("usage: file_replace_wine_test WORK_DIR\n");
        return 2;
    }
    const std::string folder = WindowsPath(argv[1]);
    for (const ReplaceWay& way : kWays) {
        for (const ReplaceCase& test : kCases) RunCase(folder, way, test);
    }
    EmptyFolder(folder);
    std::printf("file replacement: %d failure(s)\n", failures);
    return failures;
}
