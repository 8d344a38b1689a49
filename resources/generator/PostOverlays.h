// The preview's POST-message pictures: lines of a boot screen's text in a
// VGA-like 8 x 16 cell, light grey on black, each an 8-bit bitmap.
#pragma once

#include <string>

namespace varlin::artwork {

// Writes BIOS_L1.dll ... BIOS_LB2.dll (pictures, despite the extension) into `folder`.
bool WritePostOverlays(const std::string& folder);

}  // namespace varlin::artwork
