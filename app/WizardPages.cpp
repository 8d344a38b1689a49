#include "app/WizardPages.h"

#include "app/WizardApp.h"

namespace varlin {

CWizardPage::CWizardPage(CWizardApp& app, int templateId) : CDialog(app.platform.windows, templateId), app(app) {}

}  // namespace varlin
