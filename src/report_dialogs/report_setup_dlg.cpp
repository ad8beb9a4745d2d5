#include "report_dialogs/report_setup_dlg.h"

#include "foundation/files.h"
#include "report_dialogs/report_setup_rules.h"
#include "services/ui.h"
#include "services/ui_texts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

namespace marqor {

namespace {

// The dialog's texts are its own: no language section translates this window.
QString T(const char* text) {
    return QString::fromUtf8(text);
}

QLabel* NewLabel(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(T(text), parent);
    label->setBuddy(buddy);
    return label;
}

// A number field wide enough for its longest value.
TBSEdit* NewNumberEdit(const char* name, TBSEditType type, int decimals, std::int32_t min,
                       std::int32_t max, QWidget* parent, const char* widest) {
    auto* edit = new TBSEdit(parent);
    edit->setObjectName(name);
    edit->SetEditType(type);
    if (type == etFloat)
        edit->SetDecimals(decimals);
    edit->SetMinValue(min);
    edit->SetMaxValue(max);
    edit->SetNumOptions(0);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(T(widest)) + 18);
    return edit;
}

TBSMemo* NewFooterMemo(const char* name, Qt::Alignment alignment, QWidget* parent) {
    auto* memo = new TBSMemo(parent);
    memo->setObjectName(name);
    memo->SetWordWrap(false);
    // Three fields side by side share the page's width rather than widening the dialog.
    memo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    memo->setMinimumWidth(memo->fontMetrics().averageCharWidth() * 18);
    QTextOption option = memo->document()->defaultTextOption();
    option.setAlignment(alignment);
    memo->document()->setDefaultTextOption(option);
    return memo;
}

QLabel* NewCaretLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void ShowMemoLines(TBSMemo* memo, const std::vector<std::string>& lines) {
    memo->SetDisplayText(FooterTextOfLines(lines));
}

std::string MemoCaretText(const TBSMemo* memo) {
    const QTextCursor cursor = memo->textCursor();
    return FooterCaretText(cursor.blockNumber(), cursor.positionInBlock(),
                           FooterLineCount(memo->ValueText()));
}

void OpenPageSetup(QWidget* parent, const std::string& printer) {
    QPrinter device;
    if (!printer.empty())
        device.setPrinterName(QString::fromStdString(printer));
    QPageSetupDialog dialog(&device, parent);
    dialog.exec();
}

} // namespace

TFBSSwReportSetupDlg::TFBSSwReportSetupDlg(bool printerChoice, QWidget* parent)
    : TBSDialog(parent), PrinterProperties(OpenPageSetup), printerChoice_(printerChoice) {
    setObjectName("BSSwReportSetupDlg");
    setWindowTitle(T("Edit document settings"));
    setModal(true);

    // The printer.
    CBPrinters = new TBSComboBox(this);
    CBPrinters->setObjectName("CBPrinters");
    CBPrinters->SetMandatory(false);
    Label1 = NewLabel("Printer name:", CBPrinters, this);
    Label1->setObjectName("Label1");
    BProperties = new QPushButton(T("Properties"), this);
    BProperties->setObjectName("BProperties");
    BProperties->setToolTip(T("Modify printer settings"));
    BProperties->setAutoDefault(false);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(Label1);
    printerRow->addWidget(CBPrinters, 1);
    printerRow->addWidget(BProperties);

    // The pages.
    PceSettings = new QTabWidget(this);
    PceSettings->setObjectName("PceSettings");
    TsMargins = BuildMarginsPage();
    TsFooter = BuildFooterPage();
    TsImages = new QWidget;
    TsImages->setObjectName("TsImages");
    TsHtml = BuildHtmlPage();
    PceSettings->addTab(TsMargins, T("&Margins / Fonts"));
    PceSettings->addTab(TsFooter, T("&Footer"));
    PceSettings->addTab(TsImages, T("&Images"));
    PceSettings->addTab(TsHtml, T("&HTML"));
    // Images need a picture store, and this program attaches none.
    PceSettings->setTabVisible(PceSettings->indexOf(TsImages), false);

    // The buttons.
    BDefault = new TBSMenuButton(this);
    BDefault->setObjectName("BDefault");
    BDefault->setText(T("Defaults"));
    BDefault->setToolTip(T("Set default values for margins and columns"));
    BDefault->setAutoDefault(false);
    BDefault->AddMenuItem(TextOrEnglish("#BSSwReport.DefaultLayout1", "Portrait, one column"), 1);
    BDefault->AddMenuItem(TextOrEnglish("#BSSwReport.DefaultLayout2", "Landscape, two columns"), 2);
    BDefault->OnItemSelect = [this](TBSMenuButton&, int key) {
        BDefaultItemSelect(key);
    };
    BImport = new QPushButton(T("Import"), this);
    BImport->setObjectName("BImport");
    BImport->setToolTip(T("Import settings from file"));
    BImport->setAutoDefault(false);
    BExport = new QPushButton(T("Export"), this);
    BExport->setObjectName("BExport");
    BExport->setToolTip(T("Export settings to file"));
    BExport->setAutoDefault(false);
    BOK = new QPushButton(T("OK"), this);
    BOK->setObjectName("BOK");
    BOK->setDefault(true);
    BCancel = new QPushButton(T("Cancel"), this);
    BCancel->setObjectName("BCancel");
    BCancel->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(BDefault);
    buttonRow->addWidget(BImport);
    buttonRow->addWidget(BExport);
    buttonRow->addStretch(1);
    buttonRow->addWidget(BOK);
    buttonRow->addWidget(BCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(printerRow);
    layout->addWidget(PceSettings, 1);
    layout->addLayout(buttonRow);

    connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BImport, &QPushButton::clicked, this, [this] { BImportClick(); });
    connect(BExport, &QPushButton::clicked, this, [this] { BExportClick(); });
    connect(BProperties, &QPushButton::clicked, this, [this] { BPropertiesClick(); });
    connect(PceSettings, &QTabWidget::currentChanged, this, [this](int i) { PageChanged(i); });
    CBPrinters->OnUserChange = [this](TBSCustomComboBox&) {
        PrinterChosen();
    };

    // FormCreate: the paper of the current printer, the printer list with the preferred
    // printer, the first page.
    const auto service = ReportPrintingService();
    paper_ = PrinterPaperInfo(service.get(), service ? service->CurrentPrinterName() : "");
    const auto printers = TBSSwPrintDevice::PrinterItems(service.get());
    CBPrinters->SetLookupItems(printers.get());
    CBPrinters->SelectKey(TBSSwPrintDevice::PreferredPrinterIndex(service.get()));
    PceSettings->setCurrentIndex(0);
    UpdateControls();
    resize(sizeHint().expandedTo(QSize(400, 300)));
}

QWidget* TFBSSwReportSetupDlg::BuildMarginsPage() {
    auto* page = new QWidget;
    page->setObjectName("TsMargins");
    auto* grid = new QGridLayout(page);

    LInfo = new QLabel(page);
    LInfo->setObjectName("LInfo");
    grid->addWidget(LInfo, 0, 0, 1, 2);

    GrRaender = new QGroupBox(T("Margins (cm):"), page);
    GrRaender->setObjectName("GrRaender");
    EMarginTop = NewNumberEdit("EMarginTop", etFloat, 1, 0, 100, GrRaender, "100.0");
    EMarginBottom = NewNumberEdit("EMarginBottom", etFloat, 1, 0, 100, GrRaender, "100.0");
    EMarginLeft = NewNumberEdit("EMarginLeft", etFloat, 1, 0, 100, GrRaender, "100.0");
    EMarginRight = NewNumberEdit("EMarginRight", etFloat, 1, 0, 100, GrRaender, "100.0");
    EColumnDistance = NewNumberEdit("EColumnDistance", etFloat, 1, 0, 100, GrRaender, "100.0");
    EColumnDistance->SetNumOptions(neZeroAsBlank);
    LColumnDistance = NewLabel("Column distance:", EColumnDistance, GrRaender);
    LColumnDistance->setObjectName("LColumnDistance");
    auto* margins = new QGridLayout(GrRaender);
    margins->addWidget(NewLabel("Top:", EMarginTop, GrRaender), 0, 0);
    margins->addWidget(EMarginTop, 0, 1);
    margins->addWidget(NewLabel("Bottom:", EMarginBottom, GrRaender), 0, 2);
    margins->addWidget(EMarginBottom, 0, 3);
    margins->addWidget(NewLabel("Left:", EMarginLeft, GrRaender), 1, 0);
    margins->addWidget(EMarginLeft, 1, 1);
    margins->addWidget(NewLabel("Right:", EMarginRight, GrRaender), 1, 2);
    margins->addWidget(EMarginRight, 1, 3);
    margins->addWidget(LColumnDistance, 2, 0, 1, 3);
    margins->addWidget(EColumnDistance, 2, 3);
    margins->setColumnStretch(4, 1);
    grid->addWidget(GrRaender, 1, 0);

    GrSpalten = new QGroupBox(T("Columns:"), page);
    GrSpalten->setObjectName("GrSpalten");
    EColumnCount = NewNumberEdit("EColumnCount", etInteger, 0, 1,
                                 std::numeric_limits<std::int32_t>::max(), GrSpalten, "0000");
    EColumnCount->OnUserChange = [this](TBSEdit&) {
        UpdateSettings();
    };
    ChkHeaderPerColumn = new TBSCheckBox(GrSpalten);
    ChkHeaderPerColumn->setObjectName("ChkHeaderPerColumn");
    ChkHeaderPerColumn->setText(T("Header for each column"));
    auto* columns = new QGridLayout(GrSpalten);
    columns->addWidget(NewLabel("Number:", EColumnCount, GrSpalten), 0, 0);
    columns->addWidget(EColumnCount, 0, 1);
    columns->setColumnStretch(2, 1);
    columns->addWidget(ChkHeaderPerColumn, 1, 0, 1, 3);
    columns->setRowStretch(2, 1);
    grid->addWidget(GrSpalten, 1, 1);

    GrSchriften = new QGroupBox(T("Fonts:"), page);
    GrSchriften->setObjectName("GrSchriften");
    CBVarFont = new TBSFontComboBox(GrSchriften);
    CBVarFont->setObjectName("CBVarFont");
    CBVarFont->SetOptions(tfcVarPitch | tfcFixedPitch);
    CBFixFont = new TBSFontComboBox(GrSchriften);
    CBFixFont->setObjectName("CBFixFont");
    CBFixFont->SetOptions(tfcFixedPitch | tfcOnlyTrueType);
    auto* fonts = new QGridLayout(GrSchriften);
    fonts->addWidget(NewLabel("Var font:", CBVarFont, GrSchriften), 0, 0);
    fonts->addWidget(CBVarFont, 0, 1);
    fonts->addWidget(NewLabel("Fix font:", CBFixFont, GrSchriften), 1, 0);
    fonts->addWidget(CBFixFont, 1, 1);
    fonts->setColumnStretch(1, 1);
    grid->addWidget(GrSchriften, 2, 0);

    RgrOrientation = new TBSRadioGroup(page);
    RgrOrientation->setObjectName("RgrOrientation");
    RgrOrientation->SetCaption("Orientation");
    RgrOrientation->SetItems({"Portrait", "Landscape"});
    RgrOrientation->OnUserChange = [this](TBSRadioGroup&) {
        UpdateSettings();
    };
    grid->addWidget(RgrOrientation, 2, 1);

    // Address positions are edited and carried, but no report of this program prints an
    // address, so the group stays hidden.
    GrAddrPos = new QGroupBox(T("Address position (in cm):"), page);
    GrAddrPos->setObjectName("GrAddrPos");
    EAddressTop = NewNumberEdit("EAddressTop", etFloat, 1, 0, 200, GrAddrPos, "200.0");
    EAddressLeft = NewNumberEdit("EAddressLeft", etFloat, 1, 0, 200, GrAddrPos, "200.0");
    auto* address = new QGridLayout(GrAddrPos);
    address->addWidget(NewLabel("from top of the page:", EAddressTop, GrAddrPos), 0, 0);
    address->addWidget(EAddressTop, 0, 1);
    address->addWidget(NewLabel("from left side of the page:", EAddressLeft, GrAddrPos), 1, 0);
    address->addWidget(EAddressLeft, 1, 1);
    GrAddrPos->hide();

    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    return page;
}

QWidget* TFBSSwReportSetupDlg::BuildFooterPage() {
    auto* page = new QWidget;
    page->setObjectName("TsFooter");
    auto* layout = new QGridLayout(page);

    EFooterFontSize = NewNumberEdit("EFooterFontSize", etInteger, 0, 2, 50, page, "000");
    LFooterCount = new QLabel(page);
    LFooterCount->setObjectName("LFooterCount");
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(NewLabel("Footer fontsize (pt):", EFooterFontSize, page));
    sizeRow->addWidget(EFooterFontSize);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(LFooterCount, 1);
    layout->addLayout(sizeRow, 0, 0, 1, 3);

    MemFooterLeft = NewFooterMemo("MemFooterLeft", Qt::AlignLeft, page);
    MemFooterCenter = NewFooterMemo("MemFooterCenter", Qt::AlignHCenter, page);
    MemFooterRight = NewFooterMemo("MemFooterRight", Qt::AlignRight, page);
    LFooterLeftCaret = NewCaretLabel("LFooterLeftCaret", page);
    LFooterCenterCaret = NewCaretLabel("LFooterCenterCaret", page);
    LFooterRightCaret = NewCaretLabel("LFooterRightCaret", page);
    const struct {
        const char* caption;
        TBSMemo* memo;
        QLabel* caret;
    } fields[] = {{"Footer (left):", MemFooterLeft, LFooterLeftCaret},
                  {"Footer (centered):", MemFooterCenter, LFooterCenterCaret},
                  {"Footer (right):", MemFooterRight, LFooterRightCaret}};
    int column = 0;
    for (const auto& field : fields) {
        layout->addWidget(NewLabel(field.caption, field.memo, page), 1, column);
        layout->addWidget(field.memo, 2, column);
        layout->addWidget(field.caret, 3, column);
        layout->setColumnStretch(column, 1);
        connect(field.memo, &QPlainTextEdit::textChanged, this,
                [this] { ShowFooterInformation(); });
        connect(field.memo, &QPlainTextEdit::cursorPositionChanged, this,
                [this] { ShowFooterInformation(); });
        ++column;
    }
    layout->setRowStretch(2, 1);
    MemFooterLeft->installEventFilter(this);
    return page;
}

QWidget* TFBSSwReportSetupDlg::BuildHtmlPage() {
    auto* page = new QWidget;
    page->setObjectName("TsHtml");
    auto* layout = new QGridLayout(page);

    EHtmlTemplateFile = new TBSEdit(page);
    EHtmlTemplateFile->setObjectName("EHtmlTemplateFile");
    auto chooser = std::make_unique<TBSFileEdit>();
    chooser->Title = "Template for HTML file(s):";
    chooser->Mode = 1;
    chooser->Filter = "HTML templates (*.htt);;All files (*)";
    EHtmlTemplateFile->SetBehaviour(std::move(chooser));
    EHtmlIndexFile = new TBSEdit(page);
    EHtmlIndexFile->setObjectName("EHtmlIndexFile");
    EHtmlTableWidth = NewNumberEdit("EHtmlTableWidth", etInteger, 0, -1, 1000, page, "-0000");
    auto* note = new QLabel(
        T("(Width -1: HTML tables will be created with column widths in % - values)"), page);
    note->setObjectName("LHtmlTableWidthNote");
    note->setWordWrap(true);

    layout->addWidget(NewLabel("Template for HTML file(s):", EHtmlTemplateFile, page), 0, 0, 1, 2);
    // The chooser's button stands to the right of the field, in the room kept for it here.
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(EHtmlTemplateFile, 1);
    templateRow->addSpacing(EHtmlTemplateFile->sizeHint().height() + 4);
    layout->addLayout(templateRow, 1, 0, 1, 2);
    layout->addWidget(NewLabel("Name for HTML index file:", EHtmlIndexFile, page), 2, 0, 1, 2);
    auto* indexRow = new QHBoxLayout;
    indexRow->addWidget(EHtmlIndexFile, 1);
    indexRow->addSpacing(EHtmlTemplateFile->sizeHint().height() + 4);
    layout->addLayout(indexRow, 3, 0, 1, 2);
    layout->addWidget(NewLabel("Default width for HTML tables:", EHtmlTableWidth, page), 4, 0);
    layout->addWidget(EHtmlTableWidth, 4, 1, Qt::AlignLeft);
    layout->addWidget(note, 5, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(6, 1);
    return page;
}

void TFBSSwReportSetupDlg::SetSettings(const TBSSwDocumentSettings& settings) {
    settings_.LoadFromXml(settings.ToXml());
    UpdateControls();
}

void TFBSSwReportSetupDlg::showEvent(QShowEvent* event) {
    TBSDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Label1->setEnabled(printerChoice_);
    CBPrinters->setEnabled(printerChoice_);
    BProperties->setEnabled(printerChoice_);
    PceSettings->setTabVisible(PceSettings->indexOf(TsImages), false);
    PceSettings->setTabVisible(PceSettings->indexOf(TsHtml), true);
    UpdateControls();
}

void TFBSSwReportSetupDlg::done(int result) {
    UpdateSettings();
    TBSDialog::done(result);
}

bool TFBSSwReportSetupDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MemFooterLeft && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        BCancel->click();
        return true;
    }
    return TBSDialog::eventFilter(watched, event);
}

void TFBSSwReportSetupDlg::SelectFont(TBSFontComboBox* box, const std::string& name) {
    box->SelectFontName(name);
    if (box->currentIndex() < 0 && !name.empty()) {
        // A font this machine does not have stays the choice until the user picks another, so
        // that settings made elsewhere survive a visit to the dialog.
        box->insertItem(0, QString::fromStdString(name), QVariant(0));
        box->SelectFontName(name);
    }
}

std::string TFBSSwReportSetupDlg::ChosenFont(const TBSFontComboBox* box,
                                             const std::string& before) {
    const std::string name = box->FontName();
    return name.empty() ? before : name;
}

void TFBSSwReportSetupDlg::UpdateControls() {
    const bool columns = settings_.ColumnCount > 1;
    LColumnDistance->setEnabled(columns);
    EColumnDistance->setEnabled(columns);
    ChkHeaderPerColumn->setEnabled(columns);

    EMarginTop->SetAsFloat(settings_.MarginTop);
    EMarginBottom->SetAsFloat(settings_.MarginBottom);
    EMarginLeft->SetAsFloat(settings_.MarginLeft);
    EMarginRight->SetAsFloat(settings_.MarginRight);
    EColumnDistance->SetAsFloat(settings_.ColumnDistance);
    EColumnCount->SetAsInteger(settings_.ColumnCount);
    SelectFont(CBVarFont, settings_.VarFontName);
    SelectFont(CBFixFont, settings_.FixFontName);
    ChkHeaderPerColumn->SetCheckState(settings_.HeaderPerColumn ? cbChecked : cbUnchecked);
    RgrOrientation->SetItemIndex(settings_.Orientation == orLandscape ? 1 : 0);
    EAddressTop->SetAsFloat(settings_.AddressTop);
    EAddressLeft->SetAsFloat(settings_.AddressLeft);
    EFooterFontSize->SetAsInteger(settings_.FooterFontSize);
    ShowMemoLines(MemFooterLeft, settings_.FooterLeft);
    ShowMemoLines(MemFooterCenter, settings_.FooterCenter);
    ShowMemoLines(MemFooterRight, settings_.FooterRight);
    EHtmlTemplateFile->SetDisplayText(settings_.HtmlTemplate);
    EHtmlIndexFile->SetDisplayText(settings_.HtmlIndexFile);
    EHtmlTableWidth->SetAsInteger(settings_.HtmlTableWidth);

    ShowPaperInformation();
    ShowFooterInformation();
}

void TFBSSwReportSetupDlg::UpdateSettings() {
    TBSSwDocumentSettings edited = settings_; // the images have no page here and are carried
    edited.MarginTop = EMarginTop->AsFloat();
    edited.MarginBottom = EMarginBottom->AsFloat();
    edited.MarginLeft = EMarginLeft->AsFloat();
    edited.MarginRight = EMarginRight->AsFloat();
    edited.ColumnDistance = EColumnDistance->AsFloat();
    edited.ColumnCount = EColumnCount->AsInteger();
    edited.VarFontName = ChosenFont(CBVarFont, settings_.VarFontName);
    edited.FixFontName = ChosenFont(CBFixFont, settings_.FixFontName);
    edited.HeaderPerColumn = ChkHeaderPerColumn->isChecked();
    edited.Orientation = RgrOrientation->ItemIndex() == 1 ? orLandscape : orPortrait;
    edited.AddressLeft = EAddressLeft->AsFloat();
    edited.AddressTop = EAddressTop->AsFloat();
    edited.FooterFontSize = EFooterFontSize->AsInteger();
    edited.FooterLeft = FooterLinesOfText(MemFooterLeft->ValueText());
    edited.FooterCenter = FooterLinesOfText(MemFooterCenter->ValueText());
    edited.FooterRight = FooterLinesOfText(MemFooterRight->ValueText());
    edited.HtmlTemplate = EHtmlTemplateFile->ValueText();
    edited.HtmlIndexFile = EHtmlIndexFile->ValueText();
    edited.HtmlTableWidth = EHtmlTableWidth->AsInteger();
    settings_ = SettingsAsEdited(std::move(edited));
    UpdateControls();
}

void TFBSSwReportSetupDlg::BDefaultItemSelect(int key) {
    const auto layout = DefaultLayout(key);
    if (!layout)
        return;
    EMarginTop->SetAsFloat(layout->Top);
    EMarginBottom->SetAsFloat(layout->Bottom);
    EMarginLeft->SetAsFloat(layout->Left);
    EMarginRight->SetAsFloat(layout->Right);
    EColumnCount->SetAsInteger(layout->Columns);
    if (layout->SetsColumnDistance)
        EColumnDistance->SetAsFloat(layout->ColumnDistance);
    RgrOrientation->SetItemIndex(layout->Orientation == orLandscape ? 1 : 0);
    UpdateSettings();
}

void TFBSSwReportSetupDlg::BPropertiesClick() {
    if (PrinterProperties)
        PrinterProperties(this, CBPrinters->currentText().toStdString());
    UpdateSettings();
    CBPrinters->setFocus();
}

void TFBSSwReportSetupDlg::PrinterChosen() {
    TBSSwPrintDevice::SelectPrinter(CBPrinters->SelectedKey());
    const auto service = ReportPrintingService();
    paper_ = PrinterPaperInfo(service.get(), CBPrinters->currentText().toStdString());
    ShowPaperInformation();
}

void TFBSSwReportSetupDlg::BExportClick() {
    UpdateSettings();
    TBSUI& ui = UIServices();
    const std::string title =
        TextOrEnglish("#BSSwReport.SettingsExport", "Export document settings");
    const std::string filter =
        TextOrEnglish("#BSSwReport.XmlFilter", "XML files (*.xml)|*.xml|All (*.*)|*.*");
    for (;;) {
        std::string file = lastFile_;
        if (!ui.ChooseFile(title, lastFile_, file, 0, filter))
            return;
        lastFile_ = file;
        if (!ui.CanWriteFile(*NewFile(file), true))
            continue;
        try {
            ExportDocumentSettings(settings_, file);
            return;
        } catch (const std::exception& error) {
            // The file error names the file and the reason; the user may choose another one.
            ui.ShowError(error.what());
        }
    }
}

void TFBSSwReportSetupDlg::BImportClick() {
    TBSUI& ui = UIServices();
    const std::string title =
        TextOrEnglish("#BSSwReport.SettingsImport", "Import document settings");
    const std::string filter =
        TextOrEnglish("#BSSwReport.XmlFilter", "XML files (*.xml)|*.xml|All (*.*)|*.*");
    for (;;) {
        std::string file = lastFile_;
        if (!ui.ChooseFile(title, lastFile_, file, 1, filter))
            return;
        lastFile_ = file;
        if (!ui.CanReadFile(*NewFile(file)))
            continue;
        try {
            const TBSSwDocumentSettings imported = ImportDocumentSettings(file);
            settings_.LoadFromXml(imported.ToXml());
            UpdateControls();
            return;
        } catch (const std::exception& error) {
            ui.ShowError(error.what());
        }
    }
}

void TFBSSwReportSetupDlg::ShowPaperInformation() {
    LInfo->setText(
        QString::fromStdString(PaperInformationText(paper_, RgrOrientation->ItemIndex() == 1)));
}

void TFBSSwReportSetupDlg::ShowFooterInformation() {
    LFooterLeftCaret->setText(QString::fromStdString(MemoCaretText(MemFooterLeft)));
    LFooterCenterCaret->setText(QString::fromStdString(MemoCaretText(MemFooterCenter)));
    LFooterRightCaret->setText(QString::fromStdString(MemoCaretText(MemFooterRight)));
    LFooterCount->setText(QString::fromStdString(FooterCountText(
        FooterLineCount(MemFooterLeft->ValueText()), FooterLineCount(MemFooterCenter->ValueText()),
        FooterLineCount(MemFooterRight->ValueText()))));
}

void TFBSSwReportSetupDlg::PageChanged(int index) {
    BDefault->setVisible(index == 0);
    for (TBSMemo* memo : {MemFooterLeft, MemFooterCenter, MemFooterRight})
        memo->moveCursor(QTextCursor::Start);
    if (PceSettings->widget(index) == TsFooter)
        MemFooterLeft->setFocus();
    ShowFooterInformation();
}

} // namespace marqor
