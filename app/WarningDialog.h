// The warning shown before the flash ROM is programmed with a rebuilt BIOS:
// OK goes on, Cancel, Escape and the close box stop.
#pragma once

#include "app/Dialog.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CWarningDialog : public CDialog {
public:
    explicit CWarningDialog(WindowHost& host) : CDialog(host, IDD_WARNING) {}
};

}  // namespace varlin
