// The update of the flash ROM from a BIOS file: the file's checks against
// the board, then the update region by region.  The caller shows the steps:
// the program through its Update BIOS and Finished dialogs, the tool on the
// terminal.
#pragma once

#include <string>

#include "biosfile/BiosImage.h"
#include "flash/RomUpdate.h"

namespace varlin {

class UpdateSteps {
public:
    virtual ~UpdateSteps() = default;

    // The file passed its checks; the update comes next.
    virtual void FileAccepted() {}

    // Runs `update` over `image` when the user asks for it; true when every
    // region was programmed and verified.
    virtual bool RunUpdate(RomUpdate& update, const Bytes& image) = 0;

    // After the update: it completed, or it stopped (the user has been told
    // what it left behind).
    virtual void UpdateCompleted() {}
    virtual void UpdateStopped() {}
};

// Checks the BIOS file at `path` against the board that `info` describes and
// programs it through `update`.  True when every region was programmed and
// verified; on false the user has been told why.
bool UpdateBiosFromFile(const std::string& path, const RomInfo& info, BiosImage& biosImage, RomUpdate& update,
                        UpdateSteps& steps);

}  // namespace varlin
