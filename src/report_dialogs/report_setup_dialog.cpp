#include "report_dialogs/report_setup_dialog.h"

#include "report_dialogs/report_setup_dlg.h"

namespace marqor {

bool EditDocumentSettings(TBSSwDocumentSettings& settings, bool printerChoice, QWidget* parent) {
    TFBSSwReportSetupDlg dialog(printerChoice, parent);
    dialog.SetSettings(settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings.LoadFromXml(dialog.Settings().ToXml());
    return true;
}

} // namespace marqor
