// The preview of the boot screen: a modeless window, created once and then
// only shown and hidden, showing the logo as the BIOS will.
#pragma once

#include <cstdint>
#include <string>

#include "app/Dialog.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CWizardApp;

class CPreviewDialog : public CDialog {
public:
    explicit CPreviewDialog(CWizardApp& app);

private:
    CWizardApp& app;
};

}  // namespace varlin
