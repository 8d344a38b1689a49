// What the steps of a logo build share (logo/BiosRebuild.cpp for the
// full-screen logo, logo/SmallLogoBuild.cpp for the small one): the texts
// they show, their working files and the ditherings a choice tries.
#pragma once

#include <cstddef>
#include <vector>

#include "logo/LogoBuild.h"

namespace varlin::buildstep {

inline constexpr char kCannotOpenBios[] = "Cannot open BIOS file!";
inline constexpr char kFileOpenError[] = "File open error!";
inline constexpr char kPictureTooBig[] = "Picture file is too big, \nplease selected a small one!";
inline constexpr char kCheckFailed[] = "The new BIOS image failed its check: %s.\nNothing was written.";

// BIOS images are a few hundred KiB; anything near this is no BIOS image.
inline constexpr size_t kBiosReadLimit = 64u << 20;

// Deletes the payload and the archive of the build.
void RemoveWorkingFiles();

// The ditherings an automatic choice tries, best looking first; otherwise
// the one asked for.
std::vector<Dithering> DitheringsToTry(DitheringChoice choice);

}  // namespace varlin::buildstep
