// The About box of the system menu's "&About VARLIN..." item: the program's
// name, version and credits, closed by OK, Escape or the close box.
#pragma once

#include "app/Dialog.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(WindowHost& host) : CDialog(host, IDD_ABOUT) {}
};

}  // namespace varlin
