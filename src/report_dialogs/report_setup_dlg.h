#pragma once

// TFBSSwReportSetupDlg, "Edit document settings": the printer, the margins, columns, fonts and
// orientation, the footers and the HTML options of a kind of report, with two default layouts
// and the import and export of the settings as an XML file. The dialog works on its own copy
// of the settings; only the printer choice takes effect at once. EditDocumentSettings
// (report_setup_dialog.h) opens it.

#include "controls/choice_controls.h"
#include "controls/combo_box.h"
#include "controls/edit.h"
#include "controls/forms.h"
#include "reports/document_settings.h"
#include "reports/paper.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <functional>
#include <string>

namespace marqor {

class TFBSSwReportSetupDlg : public TBSDialog {
    Q_OBJECT
public:
    explicit TFBSSwReportSetupDlg(bool printerChoice, QWidget* parent = nullptr);

    // The settings the dialog works on.
    const TBSSwDocumentSettings& Settings() const { return settings_; }
    // Takes a copy of the settings (through their XML form) and shows them.
    void SetSettings(const TBSSwDocumentSettings& settings);

    // Settings to controls, and controls to settings (which shows the settings again).
    void UpdateControls();
    void UpdateSettings();

    // What the buttons and the Defaults items do.
    void BDefaultItemSelect(int key);
    void BImportClick();
    void BExportClick();
    void BPropertiesClick();

    // Opens the printer's own settings; by default the platform's page setup of the printer.
    std::function<void(QWidget* parent, const std::string& printer)> PrinterProperties;

    // The components, by their roles.
    QLabel* Label1;
    TBSComboBox* CBPrinters;
    QPushButton* BProperties;
    QTabWidget* PceSettings;
    QPushButton* BOK;
    QPushButton* BCancel;
    TBSMenuButton* BDefault;
    QPushButton* BImport;
    QPushButton* BExport;

    QWidget* TsMargins;
    QLabel* LInfo;
    QGroupBox* GrRaender;
    TBSEdit* EMarginTop;
    TBSEdit* EMarginBottom;
    TBSEdit* EMarginLeft;
    TBSEdit* EMarginRight;
    QLabel* LColumnDistance;
    TBSEdit* EColumnDistance;
    QGroupBox* GrSchriften;
    TBSFontComboBox* CBVarFont;
    TBSFontComboBox* CBFixFont;
    QGroupBox* GrSpalten;
    TBSEdit* EColumnCount;
    TBSCheckBox* ChkHeaderPerColumn;
    TBSRadioGroup* RgrOrientation;
    QGroupBox* GrAddrPos;
    TBSEdit* EAddressTop;
    TBSEdit* EAddressLeft;

    QWidget* TsFooter;
    TBSEdit* EFooterFontSize;
    QLabel* LFooterCount;
    TBSMemo* MemFooterLeft;
    TBSMemo* MemFooterCenter;
    TBSMemo* MemFooterRight;
    QLabel* LFooterLeftCaret;
    QLabel* LFooterCenterCaret;
    QLabel* LFooterRightCaret;

    QWidget* TsImages;

    QWidget* TsHtml;
    TBSEdit* EHtmlTemplateFile;
    TBSEdit* EHtmlIndexFile;
    TBSEdit* EHtmlTableWidth;

    // The paper of the chosen printer, as LInfo shows it.
    const TBSPaperInfo& Paper() const { return paper_; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildMarginsPage();
    QWidget* BuildFooterPage();
    QWidget* BuildHtmlPage();
    void ShowPaperInformation();
    void ShowFooterInformation();
    void PageChanged(int index);
    void PrinterChosen();
    static void SelectFont(TBSFontComboBox* box, const std::string& name);
    static std::string ChosenFont(const TBSFontComboBox* box, const std::string& before);

    TBSSwDocumentSettings settings_;
    TBSPaperInfo paper_;
    bool printerChoice_;
    std::string lastFile_;
};

} // namespace marqor
