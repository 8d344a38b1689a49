// The four wizard pages: the start page, the Easy Mode's picture and accept
// pages, and the Advanced page.  Each is a dialog the application object
// holds for the whole run; its window exists while the page runs.
#pragma once

#include <string>

#include "app/Dialog.h"
#include "logo/PictureChecker.h"
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
    // "Exit" and "Cancel" (1003) end the program like Escape.
    void OnCommand(int id) override;
    // Enter does nothing; Escape, Exit, Cancel and the close box end the
    // program.
    void OnOK() override {}
    void OnCancel() override;

protected:
    // Back: hides this page, ends its run and shows the page before.
    void ReturnTo(CDialog& previous, ShowCommand how);

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
    explicit CPicturePage(CWizardApp& app);

    void OnInitDialog() override;
    void OnCommand(int id) override;
    // Refills the path box on every paint, so that it shows the picture
    // chosen before when the page comes back.
    bool OnPaint() override;

    std::string picturePath;  // survives the page's runs
    CPictureChecker checker;

private:
    void OnBrowse();
    void OnNext();
};

class CAcceptPage : public CWizardPage {
public:
    explicit CAcceptPage(CWizardApp& app) : CWizardPage(app, IDD_ACCEPT_PAGE) {}

    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void OnNext();
};

class CAdvancedPage : public CWizardPage {
public:
    explicit CAdvancedPage(CWizardApp& app) : CWizardPage(app, IDD_ADVANCED_PAGE) {}

    void OnInitDialog() override;
    void OnCommand(int id) override;
    // The page's own run ends before the program does.
    void OnCancel() override;

private:
    void OnUpdateBios();
    void OnSuper();
};

}  // namespace varlin
