#include "cli/ConsoleWindowHost.h"

#include <cstdlib>

#include "resources/ResourceIds.h"

namespace varlin::cli {

namespace {

bool IsUpdateDialog(const DialogHandler& dialog) { return dialog.TemplateId() == IDD_UPDATE_BIOS; }

}  // namespace

int ConsoleWindowHost::RunModal(DialogHandler& dialog)
{
    switch (dialog.TemplateId()) {
    case IDD_UPDATE_BIOS:
        return RunUpdateDialog(dialog);
    case IDD_FINISHED:
        return kResultOk;  // the update is complete; nothing is restarted
    default:
        return kResultCancel;
    }
}

int ConsoleWindowHost::RunUpdateDialog(DialogHandler& dialog)
{
    ended = nullptr;
    dialog.OnInitDialog();
    dialog.OnCommand(IDC_UPDATE_START);
    bar.EndLine();
    // The Update button always ends the dialog; anything else is no update.
    return ended == &dialog ? result : kResultCancel;
}

void ConsoleWindowHost::EndDialog(DialogHandler& dialog, int endResult)
{
    ended = &dialog;
    result = endResult;
}

void ConsoleWindowHost::SetItemText(DialogHandler& dialog, int id, const std::string& text)
{
    if (!IsUpdateDialog(dialog)) return;
    if (id == IDC_STEP_TEXT) bar.SetStepText(text);
    if (id == IDC_UPDATE_PERCENT) bar.SetPercentage(static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)));
}

void ConsoleWindowHost::SetProgressRange(DialogHandler& dialog, int id, uint32_t upper)
{
    if (IsUpdateDialog(dialog) && id == IDC_UPDATE_PROGRESS) bar.SetRange(upper);
}

void ConsoleWindowHost::SetProgressPosition(DialogHandler& dialog, int id, uint32_t position)
{
    if (IsUpdateDialog(dialog) && id == IDC_UPDATE_PROGRESS) bar.SetPosition(position);
}

}  // namespace varlin::cli
