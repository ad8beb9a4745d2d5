#include "report_dialogs/print_dialog.h"

#include "foundation/xml.h"
#include "report_dialogs/preview_dialog.h"
#include "report_dialogs/print_rules.h"
#include "report_dialogs/report_setup_dialog.h"
#include "report_dialogs/status_dialog.h"
#include "services/config.h"
#include "services/ui.h"
#include "services/ui_texts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace marqor {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

IBSSectionPtr PrinterSection() {
    return UserSettings()->GetSection("KVR_Printer");
}

// Where the save dialogs start when the stored place is gone (or was never stored).
std::string DefaultFolder() {
    std::string home = QDir::homePath().toStdString();
    if (home.empty() || home.back() != '/')
        home += '/';
    return home;
}

QStringList QtNameFilters(std::string_view filter) {
    QStringList filters;
    for (const auto& entry : ParseFileFilter(filter)) {
        QString patterns = Q(entry.Patterns.empty() ? std::string("*") : entry.Patterns);
        patterns.replace(';', ' ');
        const QString description = Q(entry.Description);
        filters << (description.contains('(') ? description : description + " (" + patterns + ")");
    }
    return filters;
}

void DefaultPrinterProperties(QWidget* parent, const std::string& printer) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(Q(printer));
    if (info.isNull())
        return;
    QPrinter qprinter(info, QPrinter::HighResolution);
    QPageSetupDialog dialog(&qprinter, parent);
    dialog.setObjectName("PrinterSetupDialog");
    dialog.exec();
}

} // namespace

bool ChooseSaveFile(QWidget* parent, const TKvrSaveFileRequest& request, std::string& chosen) {
    QFileDialog dialog(parent, Q(request.Title), Q(request.InitialFolder));
    dialog.setObjectName("DlgSaveFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The print dialog asks about an existing target itself, after the extension is settled.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().front().toStdString();
    return true;
}

TKvrPrintDlg::TKvrPrintDlg(QWidget* parent) : TKvrDialog(parent) {
    setObjectName("KvrPrintDlg");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ShowPrinterProperties = DefaultPrinterProperties;
    ChooseFile = ChooseSaveFile;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    PnlFields = new QWidget(this);
    PnlFields->setObjectName("PnlFields");
    layout->addWidget(PnlFields);

    auto* printer = new QGridLayout;
    printer->setHorizontalSpacing(8);
    layout->addLayout(printer);
    LPrintername = new QLabel("Printer name:", this);
    LPrintername->setObjectName("LPrintername");
    CBPrinters = new QComboBox(this);
    CBPrinters->setObjectName("CBPrinters");
    CBPrinters->setToolTip("Choose another printer");
    CBPrinters->setMinimumWidth(260);
    CBPrinters->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LPrintername->setBuddy(CBPrinters);
    btnSetup = new QPushButton("Properties", this);
    btnSetup->setObjectName("btnSetup");
    Label2 = new QLabel("Copies:", this);
    Label2->setObjectName("Label2");
    edtExemplare = new TKvrEdit(this);
    edtExemplare->setObjectName("edtExemplare");
    edtExemplare->SetEditType(TKvrEdit::etInteger);
    edtExemplare->SetMinValue(1);
    edtExemplare->setText("1");
    edtExemplare->setFixedWidth(50);
    Label2->setBuddy(edtExemplare);
    btnOptions = new QPushButton("Options", this);
    btnOptions->setObjectName("btnOptions");
    btnOptions->setToolTip("Modify alignment, fonts, margins, columns, footer");
    printer->addWidget(LPrintername, 0, 0);
    printer->addWidget(CBPrinters, 0, 1, 1, 2);
    printer->addWidget(btnSetup, 0, 3);
    printer->addWidget(Label2, 1, 0);
    printer->addWidget(edtExemplare, 1, 1);
    printer->addWidget(btnOptions, 1, 3);
    printer->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    auto makeButton = [this, buttons](const char* name, const char* caption, const char* hint) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        if (*hint)
            button->setToolTip(hint);
        button->setMinimumWidth(75);
        buttons->addWidget(button);
        return button;
    };
    btnPrint = makeButton("btnPrint", "Print", "Begin printing");
    btnPreview = makeButton("btnPreview", "Preview", "Launch on-screen preview");
    BPdf = makeButton("BPdf", "PDF", "Output as file in PDF format");
    btnHtml = makeButton("btnHtml", "HTML File", "Output as HTML file");
    buttons->addStretch(1);
    btnCancel = makeButton("btnCancel", "Cancel", "");
    btnPrint->setDefault(true);

    connect(CBPrinters, &QComboBox::activated, this, [this] { CBPrintersClick(); });
    connect(btnSetup, &QPushButton::clicked, this, [this] { btnSetupClick(); });
    connect(btnOptions, &QPushButton::clicked, this, [this] { btnOptionsClick(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnPreview, &QPushButton::clicked, this, [this] { btnPreviewClick(); });
    connect(BPdf, &QPushButton::clicked, this, [this] { BPdfClick(); });
    connect(btnHtml, &QPushButton::clicked, this, [this] { btnHtmlClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });

    FormCreate();
}

TKvrPrintDlg::~TKvrPrintDlg() = default;

void TKvrPrintDlg::FormCreate() {
    ActiveFormAtStart = QApplication::activeWindow();
    Settings = TBSSwDocumentSettings();
    FillPrinters();
    CBPrintersClick();
}

void TKvrPrintDlg::FillPrinters() {
    auto service = ReportPrintingService();
    CBPrinters->clear();
    for (const std::string& name : service->PrinterNames())
        CBPrinters->addItem(Q(name));
    const std::string current = service->CurrentPrinterName();
    SelectPrinterNamed(current);
    const std::string stored =
        PrinterSection()->ReadString("Current", CBPrinters->currentText().toStdString());
    SelectPrinterNamed(stored);
    if (CBPrinters->currentText().toStdString() != stored)
        SelectPrinterNamed(current);
}

void TKvrPrintDlg::SelectPrinterNamed(const std::string& name) {
    int found = -1;
    for (int i = 0; i < CBPrinters->count(); ++i)
        if (CBPrinters->itemText(i).toStdString() == name)
            found = i;
    if (found >= 0 || name.empty())
        CBPrinters->setCurrentIndex(found);
}

int TKvrPrintDlg::SelectedPrinterIndex() const {
    return CBPrinters->currentIndex();
}

void TKvrPrintDlg::showEvent(QShowEvent* event) {
    TKvrDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TKvrPrintDlg::FormShow() {
    btnHtml->setText(Q(TextOrEnglish("#KAVRIN_G.58", "HTML File")));
    btnHtml->setToolTip(Q(TextOrEnglish("#KAVRIN_G.59", "Output as HTML file")));
    btnPreview->setEnabled(true);
    LoadSettings();
}

void TKvrPrintDlg::LoadSettings() {
    auto section = UserSettings()->GetSection(FormClassName());
    LoadSettings(*section, 1);
    const std::string text = section->ReadString(TBSSwDocumentSettings::SettingsKey, "");
    if (!text.empty()) {
        const auto element = LoadXmlFromText(text, true);
        if (!element || element->Name() != "DOCUMENTSETTING") {
            // The text is replaced by the next output; keep what the user had.
            section->WriteString(UnreadableDocumentSettingsKey, text);
            const std::string message =
                "The stored page layout of this window cannot be read; the default layout is "
                "used. The unreadable text is kept under \"" +
                std::string(UnreadableDocumentSettingsKey) + "\" in section \"" + FormClassName() +
                "\" of the user settings.";
            UIServices().LogLine(message);
            QTimer::singleShot(0, this, [message] { UIServices().ShowWarning(message); });
        }
    }
    Settings.LoadFromSection(*section);
}

void TKvrPrintDlg::SaveSettings() {
    auto section = UserSettings()->GetSection(FormClassName());
    SaveSettings(*section, 1);
    PrinterSection()->WriteString("Current", CBPrinters->currentText().toStdString());
    Settings.SaveToSection(*section);
    Settings.ApplyTo(Report.Document);
    Settings.ApplyFootersAndImagesTo(Report.Document);
    Report.OwnerCaption = windowTitle().toStdString();
}

void TKvrPrintDlg::UpdateButtons() {
    const bool printer = SelectedPrinterIndex() >= 0;
    btnPrint->setEnabled(printer);
    btnPreview->setEnabled(printer);
    BPdf->setEnabled(true);
    btnHtml->setEnabled(true);
}

void TKvrPrintDlg::CBPrintersClick() {
    if (SelectedPrinterIndex() >= 0)
        ReportPrintingService()->SelectPrinter(CBPrinters->currentText().toStdString());
    Report.Document.DetectPaper();
    UpdateButtons();
}

void TKvrPrintDlg::btnSetupClick() {
    if (SelectedPrinterIndex() >= 0 && ShowPrinterProperties)
        ShowPrinterProperties(this, CBPrinters->currentText().toStdString());
    Report.Document.DetectPaper();
    edtExemplare->setFocus();
    UpdateButtons();
}

void TKvrPrintDlg::btnOptionsClick() {
    if (SelectedPrinterIndex() < 0)
        return;
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    EditDocumentSettings(Settings, true, this);
    SelectPrinterNamed(ReportPrintingService()->CurrentPrinterName());
    SaveSettings();
    edtExemplare->setFocus();
    UpdateButtons();
}

bool TKvrPrintDlg::PrinterStillThere() {
    const std::string chosen = CBPrinters->currentText().toStdString();
    const auto names = ReportPrintingService()->PrinterNames();
    if (std::find(names.begin(), names.end(), chosen) != names.end())
        return true;
    FillPrinters();
    CBPrintersClick();
    UIServices().ShowError("The printer \"" + chosen +
                           "\" is no longer available. Choose another printer.");
    return false;
}

bool TKvrPrintDlg::RunOutput(void (TKvrReport::*output)(IKvrStatusDlg*)) {
    try {
        return RunWithStatus(
            this, [output](TKvrReport& report, IKvrStatusDlg* status) { (report.*output)(status); },
            Report);
    } catch (const std::exception& error) {
        UIServices().ShowError(error.what());
    } catch (...) {
        UIServices().ShowError("The output failed for an unknown reason.");
    }
    ShowAgain();
    return false;
}

void TKvrPrintDlg::ShowAgain() {
    show();
    raise();
    activateWindow();
    edtExemplare->setFocus();
}

void TKvrPrintDlg::CloseAfterOutput() {
    done(QDialog::Accepted);
    ShowWindowOrMain(ActiveFormAtStart);
}

void TKvrPrintDlg::btnPrintClick() {
    btnPrint->setFocus();
    QCoreApplication::processEvents();
    if (focusWidget() != btnPrint)
        return;
    if (!PrinterStillThere()) {
        ShowAgain();
        return;
    }
    hide();
    SaveSettings();
    UpdateButtons();
    Report.Copies = std::max(1, edtExemplare->AsInteger());
    if (!RunOutput(&TKvrReport::PrintToPrinter) && isVisible())
        return;
    CloseAfterOutput();
}

void TKvrPrintDlg::btnPreviewClick() {
    hide();
    SaveSettings();
    bool shown = false;
    int result = QDialog::Rejected;
    try {
        if (RunWithStatus(
                this,
                [](TKvrReport& report, IKvrStatusDlg* status) { report.PrintToPreview(status); },
                Report)) {
            shown = true;
            result = ShowPreview(windowTitle().toStdString(), Report.PreviewPages(), this);
        }
    } catch (const std::exception& error) {
        UIServices().ShowError(error.what());
    } catch (...) {
        UIServices().ShowError("The preview failed for an unknown reason.");
    }
    if (shown && result == QDialog::Accepted && btnPrint->isEnabled()) {
        btnPrintClick();
        return;
    }
    ShowAgain();
}

bool TKvrPrintDlg::ConfirmReplace(const std::string& target) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(target), error))
        return true;
    return ConfirmYesNo(TextOrEnglishFmt("#KAVRIN_G.10", "%s\nFile exists !  Replace ?", {target}),
                        this);
}

void TKvrPrintDlg::BPdfClick() {
    SaveSettings();
    const std::string stored = PrinterSection()->ReadString("PdfFile", "");
    TKvrSaveFileRequest request;
    request.InitialFolder = InitialSaveFolder(FolderPartOf(stored), DefaultFolder());
    request.Title = TextOrEnglish("#KAVRIN_G.158", "Output as PDF file");
    request.Filter =
        TextOrEnglish("#KAVRIN_G.159", "All files (*.*)|*.*|PDF - files (*.pdf)|*.pdf");
    request.FilterIndex = 2;
    std::string chosen;
    if (!ChooseFile(this, request, chosen))
        return;
    PrinterSection()->WriteString("PdfFile", chosen);
    const std::string target = ChangeFileExtension(chosen, ".pdf");
    if (!ConfirmReplace(target))
        return;
    hide();
    Report.PdfFileName = target;
    if (!RunOutput(&TKvrReport::PrintToPdf) && isVisible())
        return;
    CloseAfterOutput();
}

void TKvrPrintDlg::btnHtmlClick() {
    SaveSettings();
    const std::string stored = PrinterSection()->ReadString("HtmlDir", "");
    TKvrSaveFileRequest request;
    request.InitialFolder = InitialSaveFolder(stored, DefaultFolder());
    request.Title = TextOrEnglish("#KAVRIN_G.59", "Output as HTML file");
    request.Filter = TextOrEnglish("#KAVRIN_G.95", "All (*.*)|*.*|HTML files (*.htm)|*.htm");
    request.FilterIndex = 2;
    std::string chosen;
    if (!ChooseFile(this, request, chosen))
        return;
    PrinterSection()->WriteString("HtmlDir", FolderPartOf(chosen));
    std::string extension =
        ApplicationObject().GetSection("Printer")->ReadString("HtmlExtension", ".htm");
    if (extension.empty())
        extension = ".htm";
    else if (extension.front() != '.')
        extension.insert(extension.begin(), '.');
    const std::string target = ChangeFileExtension(chosen, extension);
    if (!ConfirmReplace(target))
        return;
    hide();
    Report.HtmlFileName = target;
    const bool done = RunOutput(&TKvrReport::PrintToHtml);
    Report.FreeHtmlWriter();
    if (!done && isVisible())
        return;
    CloseAfterOutput();
}

} // namespace marqor
