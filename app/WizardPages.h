// The four wizard pages: the start page, the Easy Mode's picture and accept
// pages, and the Advanced page.  Each is a dialog the application object
// holds for the whole run; its window exists while the page runs.
#pragma once

#include "app/Dialog.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CWizardApp;

class CWizardPage : public CDialog {
public:
    CWizardPage(CWizardApp& app, int templateId);

    // Shows the page again when its window exists (it was only hidden),
    // otherwise runs it modally.
    void Run();

    // The About item of the system menu.
    bool OnSysCommand(int command) override;
    // Enter does nothing; Escape, Exit, Cancel and the close box end the
    // program.
    void OnOK() override {}
    void OnCancel() override;

protected:
    CWizardApp& app;
};

class CStartPage : public CWizardPage {
public:
    explicit CStartPage(CWizardApp& app) : CWizardPage(app, IDD_START_PAGE) {}

    void OnInitDialog() override;
    void OnCommand(int id) override;
};

class CPicturePage : public CWizardPage {
public:
    explicit CPicturePage(CWizardApp& app) : CWizardPage(app, IDD_PICTURE_PAGE) {}
};

class CAcceptPage : public CWizardPage {
public:
    explicit CAcceptPage(CWizardApp& app) : CWizardPage(app, IDD_ACCEPT_PAGE) {}
};

class CAdvancedPage : public CWizardPage {
public:
    explicit CAdvancedPage(CWizardApp& app) : CWizardPage(app, IDD_ADVANCED_PAGE) {}

    void OnInitDialog() override;
    void OnCommand(int id) override;
    // The page's own run ends before the program does.
    void OnCancel() override;
};

}  // namespace varlin
