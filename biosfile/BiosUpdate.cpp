#include "biosfile/BiosUpdate.h"

namespace varlin {

bool UpdateBiosFromFile(const std::string& path, const RomInfo& info, BiosImage& biosImage, RomUpdate& update,
                        UpdateSteps& steps)
{
    update.romSizeBytes = info.RomSizeBytes();
    update.mainStart = info.romBase;

    // The checks have told the user why they refused.
    if (!biosImage.PrepareBiosFile(path)) return false;
    steps.FileAccepted();
    if (steps.RunUpdate(update, biosImage.imageData)) {
        steps.UpdateCompleted();
        return true;
    }
    steps.UpdateStopped();
    return false;
}

}  // namespace varlin
