#include "biosfile/BoardBiosFile.h"

#include <string>
#include <vector>

#include "biosfile/BiosFileMessages.h"
#include "award/BiosId.h"

namespace varlin {

int FindBoardBiosFile(RomDevice& rom, PlatformServices& platform)
{
    const std::string boardId = rom.BiosIdRest();
    const std::string programDirectory = platform.system.ProgramDirectory();
    const std::string folder = programDirectory + kBiosFolderName + kPathSeparator;
    const std::string advice = std::string(text::kAdvicePrefix) + text::kMakerWebAddress + text::kAdviceMiddle + folder;

    std::vector<std::string> names;
    if (!platform.system.ListDirectory(folder, names)) {
        platform.messages.ShowMessage(advice);
        return -1;
    }
    for (const std::string& name : names) {
        std::string fileId;
        if (!ReadFileBiosId(folder + name, fileId)) continue;  // folders and unreadable entries
        // An empty ID would occur in every board's identification: it fits none.
        if (fileId.empty() || boardId.find(fileId) == std::string::npos) continue;
        CopyFileReplacing(folder + name, programDirectory + kBoardBiosFileName);
        return 1;
    }
    platform.messages.ShowMessage(advice);
    return -1;
}

}  // namespace varlin
