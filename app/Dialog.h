// The base of the program's dialogs: an object with handlers, whose window
// a WindowHost builds from the dialog's template.  The handlers do what the
// platform's dialog class does by default: Enter ends the run with OK,
// Escape and the close box end it with Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WindowHost.h"

namespace varlin {

class CDialog : public DialogHandler {
public:
    CDialog(WindowHost& host, int templateId) : host(host), templateId(templateId) {}

    int TemplateId() const override { return templateId; }
    void OnInitDialog() override {}
    void OnCommand(int id) override;
    bool OnSysCommand(int) override { return false; }
    bool OnPaint() override { return false; }

    virtual void OnOK() { EndDialog(kResultOk); }
    virtual void OnCancel() { EndDialog(kResultCancel); }

    int DoModal() { return host.RunModal(*this); }
    bool Create() { return host.CreateModeless(*this); }
    void EndDialog(int result) { host.EndDialog(*this, result); }
    bool IsWindow() const { return host.IsWindow(*this); }
    void ShowWindow(ShowCommand command) { host.ShowWindow(*this, command); }

    void SetItemText(int id, const std::string& text) { host.SetItemText(*this, id, text); }
    std::string ItemText(int id) { return host.ItemText(*this, id); }
    void EnableItem(int id, bool enable) { host.EnableItem(*this, id, enable); }
    void ShowItem(int id, bool show) { host.ShowItem(*this, id, show); }

protected:
    // The frame every page and the Advanced Mode dialog share: the program
    // icon, a system menu without its first three items, and the About item.
    void SetUpWindowFrame();

    WindowHost& host;

private:
    int templateId;
};

}  // namespace varlin
