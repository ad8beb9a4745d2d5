#pragma once

// The print dialog of the reports: printer choice, copies, the page layout ("Options") and the
// four outputs (printer, preview, PDF file, HTML file). A window that prints a report derives
// from it, adds its own fields into PnlFields and assigns the report's handlers. The dialog
// keeps the chosen printer, the last PDF file, the last HTML folder and the preview zoom in
// section "KVR_Printer" of the user settings, and its page layout under "DocumentSettings" in
// the section named after its class.
//
// An output that fails (the printer went away, the printing system refused the job, the file
// cannot be written) is reported through the user-interface services; the dialog comes back
// with everything the user set and nothing stored is lost.

#include "controls/forms.h"
#include "controls/kvr_edit.h"
#include "reports/document_settings.h"
#include "reports/report.h"

#include <QPointer>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace marqor {

// What the print dialog asks of a file save dialog.
struct TKvrSaveFileRequest {
    std::string Title;
    // "Text (*.txt)|*.txt|All (*.*)|*.*"
    std::string Filter;
    int FilterIndex = 1; // from 1
    std::string InitialFolder;
};

// The platform's save dialog for the request: it requires an existing folder and does not ask
// about existing files itself. False when the user cancels; else `chosen` is the full name.
bool ChooseSaveFile(QWidget* parent, const TKvrSaveFileRequest& request, std::string& chosen);

// The key under which an unreadable stored page layout is kept before it is replaced.
inline constexpr std::string_view UnreadableDocumentSettingsKey = "DocumentSettingsUnreadable";

class TKvrPrintDlg : public TKvrDialog {
    Q_OBJECT
public:
    explicit TKvrPrintDlg(QWidget* parent = nullptr);
    ~TKvrPrintDlg() override;

    TKvrReport Report;
    TBSSwDocumentSettings Settings;
    QPointer<QWidget> ActiveFormAtStart;

    QLabel* LPrintername;
    QComboBox* CBPrinters;
    QLabel* Label2;
    TKvrEdit* edtExemplare;
    QPushButton* btnSetup;
    QPushButton* btnOptions;
    QPushButton* btnPrint;
    QPushButton* btnPreview;
    QPushButton* BPdf;
    QPushButton* btnHtml;
    QPushButton* btnCancel;
    // Where a derived window puts its own fields, above the printer choice.
    QWidget* PnlFields;

    void FormCreate();
    void FormShow();
    void UpdateButtons();
    void CBPrintersClick();
    void btnSetupClick();
    void btnOptionsClick();
    void btnPrintClick();
    void btnPreviewClick();
    void BPdfClick();
    void btnHtmlClick();

    using TBSFormCore::LoadSettings;
    using TBSFormCore::SaveSettings;
    // The fields tagged 1 and the page layout from the dialog's section.
    virtual void LoadSettings();
    // The fields tagged 1, the printer, the page layout; then the layout goes to the report.
    virtual void SaveSettings();
    virtual bool HasDocumentSettings() const { return true; }

    // The printer's properties dialog; replaceable for tests and other platforms.
    std::function<void(QWidget* parent, const std::string& printer)> ShowPrinterProperties;
    // The save dialog of the PDF and HTML outputs (ChooseSaveFile); replaceable likewise.
    std::function<bool(QWidget* parent, const TKvrSaveFileRequest& request, std::string& chosen)>
        ChooseFile;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs an output with the status window; false when it was cancelled or failed (a failure
    // has been reported to the user and the dialog is back).
    bool RunOutput(void (TKvrReport::*output)(IKvrStatusDlg*));
    void CloseAfterOutput();
    void ShowAgain();
    void FillPrinters();
    int SelectedPrinterIndex() const;
    void SelectPrinterNamed(const std::string& name);
    // False (after telling the user and refreshing the list) when the chosen printer is gone.
    bool PrinterStillThere();
    bool ConfirmReplace(const std::string& target);

    bool previewForced_ = false;
};

} // namespace marqor
