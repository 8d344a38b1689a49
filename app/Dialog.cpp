#include "app/Dialog.h"

#include "resources/ResourceIds.h"

namespace varlin {

void CDialog::OnCommand(int id)
{
    if (id == kResultOk) OnOK();
    if (id == kResultCancel) OnCancel();
}

void CDialog::SetUpWindowFrame()
{
    host.SetIcon(*this, IDI_PROGRAM);
    // Each removal moves the later items up: the items first at 0, 2 and 4 go.
    for (int position = 0; position < 3; ++position) host.RemoveSystemMenuItem(*this, position);
    const std::string about = host.LoadStringResource(IDS_ABOUT_ITEM);
    if (!about.empty()) host.AppendSystemMenuItem(*this, kAboutCommand, about);
}

}  // namespace varlin
