#include "app/WizardPages.h"

#include "app/PreviewDialog.h"
#include "app/WizardApp.h"

namespace varlin {

CWizardPage::CWizardPage(CWizardApp& app, int templateId) : CDialog(app.platform.windows, templateId), app(app) {}

CPreviewDialog::CPreviewDialog(CWizardApp& app) : CDialog(app.platform.windows, IDD_PREVIEW), app(app) {}

}  // namespace varlin
