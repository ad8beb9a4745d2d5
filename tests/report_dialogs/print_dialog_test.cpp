#include "../controls/gui_test_support.h"
#include "../ui_qt/window_test_main.h"
#include "calculator/main_window.h"
#include "print_test_support.h"
#include "report_dialogs/preview_dialog.h"
#include "report_dialogs/print_point_table.h"
#include "report_dialogs/report_setup_dlg.h"
#include "reports/report_math.h"
#include "reports_qt/canvas_devices.h"
#include "services/config.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <thread>

using namespace marqor;
using namespace marqor::test;
namespace fs = std::filesystem;

namespace {

TBSSwPointTableController& BuiltInTables() {
    static TBSSwPointTableController tables(TPointTableSources{BuiltInPointTableNames(), {}, {}});
    return tables;
}

constexpr int Fina2011 = 3004;

IBSSectionPtr Section(std::string_view name) {
    return UserSettings()->GetSection(name);
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The points values printed at the start of a row of the PDF text.
std::vector<int> RowPoints(const std::string& text) {
    std::vector<int> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[first])))
            continue;
        const auto stop = line.find(' ', first);
        const std::string number = line.substr(first, stop - first);
        if (number.find_first_not_of("0123456789") == std::string::npos && number.size() >= 3 &&
            number.size() <= 4 && line.size() > 60)
            rows.push_back(std::stoi(number));
    }
    return rows;
}

class PrintWindow : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"KVR_Printer", "TFPrintPointTable", "TKvrPreviewDlg"})
            Section(name)->Clear();
        ASSERT_TRUE(dir.isValid());
    }

    std::unique_ptr<TFPrintPointTable> Open(TBSSwGender gender = sgeMen) {
        auto window = std::make_unique<TFPrintPointTable>(BuiltInTables().GetPointTable(Fina2011),
                                                          sco50m, gender, 99);
        ShowActive(window.get());
        return window;
    }

    void SetRange(TFPrintPointTable& window, int min, int max) {
        TypeInto(window.EPointsMin, std::to_string(min));
        TypeInto(window.EPointsMax, std::to_string(max));
    }

    std::string Path(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }

    std::shared_ptr<TTestPrintingService> service = std::make_shared<TTestPrintingService>();
    TPrintingServiceScope scope{service};
    QTemporaryDir dir;
};

TEST_F(PrintWindow, PrintPointsInTheMainWindowWritesTheChosenRangeToPdf) {
    TFMain main(BuiltInTables());
    main.SetOpenPointTablePrint([](int table, int age, TBSSwGender gender, TBSSwCourse course) {
        OpenPointTablePrint(table, age, gender, course, BuiltInTables());
    });
    ShowActive(&main);
    ASSERT_TRUE(main.ActPrintPointTable->isEnabled());

    const std::string chosen = Path("report.txt");
    std::string caption, title;
    ExpectModal([&](QWidget* window) {
        auto* print = qobject_cast<TFPrintPointTable*>(window);
        ASSERT_NE(print, nullptr);
        caption = print->windowTitle().toStdString();
        title = print->Label4->text().toStdString();
        Later([&, print] {
            SetRange(*print, 1096, 1100);
            AnswerSaveDialog(chosen);
            QTest::mouseClick(print->BPdf, Qt::LeftButton);
        });
    });
    QTest::keyClick(&main, Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(caption, "Print point table");
    EXPECT_EQ(title, "FINA Point Scoring 2011");
    const std::string pdf = Path("report.pdf");
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_FALSE(fs::exists(chosen));
    EXPECT_EQ(PdfPageCount(pdf), 1);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(RowPoints(text), (std::vector<int>{1100, 1099, 1098, 1097, 1096})) << text;
    EXPECT_NE(text.find("Men, Long Course (50m)"), std::string::npos);
    EXPECT_EQ(Section("KVR_Printer")->ReadString("PdfFile", ""), chosen);
    EXPECT_EQ(Section("TFPrintPointTable")->ReadInteger("EPointsMin", 0), 1096);
    EXPECT_EQ(Section("TFPrintPointTable")->ReadInteger("EPointsMax", 0), 1100);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PrintWindow, OpensWithTheStoredRangeModeAndPrinter) {
    Section("TFPrintPointTable")->WriteInteger("EPointsMin", 900);
    Section("TFPrintPointTable")->WriteInteger("EPointsMax", 5000);
    Section("TFPrintPointTable")->WriteInteger("CBRelay", 1);
    Section("KVR_Printer")->WriteString("Current", "Lab");
    auto window = Open();
    EXPECT_EQ(window->EPointsMin->AsInteger(), 900);
    EXPECT_EQ(window->EPointsMax->AsInteger(), 1100);
    EXPECT_EQ(window->CBRelay->currentText(), "Relay events");
    EXPECT_EQ(window->CBPrinters->currentText(), "Lab");
    EXPECT_EQ(service->current, "Lab");
    EXPECT_EQ(window->edtExemplare->text(), "1");
    EXPECT_EQ(window->btnHtml->text().remove('&'), "HTML File");
    EXPECT_EQ(window->btnHtml->toolTip(), "Output as HTML file");
    EXPECT_EQ(window->BPdf->toolTip(), "Output as file in PDF format");
    EXPECT_TRUE(window->btnPrint->isDefault());
}

TEST_F(PrintWindow, TheStoredPrinterMustMatchExactlyElseTheServicesPrinterStays) {
    struct Case {
        std::vector<std::string> printers;
        std::string stored;
        int selected;
    };
    for (const Case& c : std::initializer_list<Case>{{{"Lab", "Office", "Lab"}, "Lab", 2},
                                                     {{"Office", "Lab"}, "lab", 0},
                                                     {{"Office", "Lab"}, "Gone", 0}}) {
        service->printers = c.printers;
        service->current = "Office";
        Section("KVR_Printer")->WriteString("Current", c.stored);
        auto window = Open();
        EXPECT_EQ(window->CBPrinters->currentIndex(), c.selected) << c.stored;
    }
}

TEST_F(PrintWindow, ThePdfSaveDialogStartsInTheStoredFolderWithThePdfFilter) {
    fs::create_directories(Path("old"));
    for (const auto& [stored, folder] : std::vector<std::pair<std::string, std::string>>{
             {Path("old/x.pdf"), Path("old")},
             {Path("gone/x.pdf"), QDir::homePath().toStdString()}}) {
        Section("KVR_Printer")->WriteString("PdfFile", stored);
        auto window = Open();
        TSaveDialogSeen seen;
        AnswerSaveDialog("", &seen);
        QTest::mouseClick(window->BPdf, Qt::LeftButton);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.title, "Output as PDF file");
        EXPECT_EQ(seen.filter, "PDF - files (*.pdf)");
        EXPECT_EQ(seen.folder, folder);
        // Cancelled: nothing is written and the dialog stays.
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Section("KVR_Printer")->ReadString("PdfFile", ""), stored);
    }
}

TEST_F(PrintWindow, AnExistingTargetIsKeptOnNoAndReplacedOnYes) {
    const std::string target = Path("points.pdf");
    { std::ofstream(target) << "old"; }
    auto window = Open();
    SetRange(*window, 1100, 1100);
    window->ChooseFile = [&](QWidget*, const TKvrSaveFileRequest&, std::string& chosen) {
        chosen = target;
        return true;
    };

    std::string question;
    AnswerMessage("No", &question);
    QTest::mouseClick(window->BPdf, Qt::LeftButton);
    EXPECT_EQ(question, target + "\nFile exists !  Replace ?");
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->EPointsMin->AsInteger(), 1100);

    AnswerMessage("Yes");
    QTest::mouseClick(window->BPdf, Qt::LeftButton);
    EXPECT_EQ(PdfPageCount(target), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_F(PrintWindow, HtmlGoesToTheConfiguredExtensionAndRemembersTheFolder) {
    ApplicationObject().GetSection("Printer")->WriteString("HtmlExtension", ".html");
    auto window = Open();
    SetRange(*window, 1096, 1100);
    TSaveDialogSeen seen;
    AnswerSaveDialog(Path("points.htm"), &seen);
    QTest::mouseClick(window->btnHtml, Qt::LeftButton);
    ApplicationObject().GetSection("Printer")->WriteString("HtmlExtension", ".htm");

    EXPECT_EQ(seen.title, "Output as HTML file");
    EXPECT_EQ(seen.filter, "HTML files (*.htm)");
    const std::string html = ReadFile(Path("points.html"));
    EXPECT_NE(html.find("1096"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("points.htm")));
    EXPECT_EQ(Section("KVR_Printer")->ReadString("HtmlDir", ""), Path(""));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PrintWindow, WithoutAPrinterOnlyPrintIsOffAndThePreviewShowsA4Pages) {
    service->printers.clear();
    service->current.clear();
    auto window = Open();
    EXPECT_EQ(window->CBPrinters->currentIndex(), -1);
    EXPECT_FALSE(window->btnPrint->isEnabled());
    EXPECT_TRUE(window->btnPreview->isEnabled());
    EXPECT_TRUE(window->BPdf->isEnabled());
    EXPECT_TRUE(window->btnHtml->isEnabled());
    // Options does nothing without a printer: nothing is stored.
    QTest::mouseClick(window->btnOptions, Qt::LeftButton);
    EXPECT_EQ(Section("KVR_Printer")->ReadRaw("Current", "unset"), "unset");

    SetRange(*window, 1100, 1100);
    const int ppi = TKvrPreviewDevice().ScreenPixelsPerInch();
    QSize natural;
    ExpectModal([&](QWidget* w) {
        auto* preview = qobject_cast<TKvrPreviewDlg*>(w);
        ASSERT_NE(preview, nullptr);
        natural = QSize(preview->BaseWidth, preview->BaseHeight);
        // Print in the preview only goes back: the dialog cannot print.
        preview->btnPrint->click();
    });
    QTest::mouseClick(window->btnPreview, Qt::LeftButton);
    // The point table is landscape: 297 mm wide, 210 mm high.
    EXPECT_EQ(natural, QSize(MulDiv(2970, ppi, 254) + 2, MulDiv(2100, ppi, 254) + 2));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(service->log->calls.empty());
    // Properties updates the buttons: without a printer the preview goes off as well.
    QTest::mouseClick(window->btnSetup, Qt::LeftButton);
    EXPECT_FALSE(window->btnPreview->isEnabled());
}

TEST_F(PrintWindow, ThePreviewZoomsByStepsAndPagesOnlyWithinItsPages) {
    auto window = Open();
    SetRange(*window, 1001, 1100);
    std::vector<std::string> seen;
    std::string caption;
    int pages = 0;
    ExpectModal([&](QWidget* w) {
        auto* preview = qobject_cast<TKvrPreviewDlg*>(w);
        ASSERT_NE(preview, nullptr);
        caption = preview->windowTitle().toStdString();
        pages = preview->PageCount();
        auto percent = [&] {
            seen.push_back(preview->lblProzentInfo->text().toStdString());
        };
        preview->btnZoom100->click();
        percent();
        preview->btnZoomIn->click();
        percent();
        preview->btnZoomOut->click();
        percent();
        seen.push_back(preview->lblPageNr->text().toStdString());
        QTest::keyClick(preview, Qt::Key_PageUp);
        seen.push_back(preview->lblPageNr->text().toStdString());
        EXPECT_FALSE(preview->btnPrev->isEnabled());
        preview->btnLast->click();
        QTest::keyClick(preview, Qt::Key_PageDown);
        seen.push_back(preview->lblPageNr->text().toStdString());
        EXPECT_FALSE(preview->btnNext->isEnabled());
        QTest::keyClick(preview, Qt::Key_PageUp);
        seen.push_back(preview->lblPageNr->text().toStdString());
        QTest::keyClick(preview, Qt::Key_Escape);
    });
    QTest::mouseClick(window->btnPreview, Qt::LeftButton);

    ASSERT_GE(pages, 2);
    const std::string of = " of " + std::to_string(pages);
    EXPECT_EQ(seen, (std::vector<std::string>{"100%", "141%", "100%", "Page 1" + of, "Page 1" + of,
                                              "Page " + std::to_string(pages) + of,
                                              "Page " + std::to_string(pages - 1) + of}));
    EXPECT_EQ(caption, "Preview - Print point table");
    EXPECT_EQ(Section("KVR_Printer")->ReadInteger("PreviewProzent", 0), 100);
    // Escape in the preview brings the dialog back.
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PrintWindow, ThePreviewOpensAtTheStoredZoomAndAZeroMeansNaturalSize) {
    // A stored placement: the preview does not fit the full page on opening.
    Section("TKvrPreviewDlg")->WriteRaw("WindowState", "10,10,700,500,1,2");
    auto window = Open();
    SetRange(*window, 1100, 1100);
    for (const auto& [stored, shown] :
         std::vector<std::pair<int, std::string>>{{0, "100%"}, {50, "50%"}, {141, "141%"}}) {
        Section("KVR_Printer")->WriteInteger("PreviewProzent", stored);
        std::string percent;
        ExpectModal([&](QWidget* w) {
            auto* preview = qobject_cast<TKvrPreviewDlg*>(w);
            ASSERT_NE(preview, nullptr);
            percent = preview->lblProzentInfo->text().toStdString();
            preview->btnCancel->click();
        });
        QTest::mouseClick(window->btnPreview, Qt::LeftButton);
        EXPECT_EQ(percent, shown) << stored;
    }
}

TEST_F(PrintWindow, PrintInThePreviewPrintsTheCopiesAndClosesTheDialog) {
    auto window = Open();
    SetRange(*window, 1096, 1100);
    TypeInto(window->edtExemplare, "3");
    ExpectModal([](QWidget* w) {
        auto* preview = qobject_cast<TKvrPreviewDlg*>(w);
        ASSERT_NE(preview, nullptr);
        preview->btnPrint->click();
    });
    QTest::mouseClick(window->btnPreview, Qt::LeftButton);
    EXPECT_EQ(service->RequestedCopies(), 3);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(Section("KVR_Printer")->ReadString("Current", ""), "Office");
}

TEST_F(PrintWindow, OptionsWithTheSecondDefaultLayoutPrintsTwoNewspaperColumns) {
    auto window = Open();
    std::string item;
    ExpectModal([&](QWidget* w) {
        auto* setup = qobject_cast<TFBSSwReportSetupDlg*>(w);
        ASSERT_NE(setup, nullptr) << w->metaObject()->className();
        const auto items = setup->BDefault->Menu()->actions();
        ASSERT_EQ(items.size(), 2);
        item = items[1]->text().toStdString();
        items[1]->trigger();
        QTest::mouseClick(setup->BOK, Qt::LeftButton);
    });
    QTest::mouseClick(window->btnOptions, Qt::LeftButton);
    EXPECT_EQ(item, "Landscape, two columns");
    EXPECT_EQ(window->Settings.ColumnCount, 2);
    // Options stores the layout at once.
    TBSSwDocumentSettings stored;
    stored.LoadFromSection(*Section("TFPrintPointTable"));
    EXPECT_EQ(stored.ColumnCount, 2);
    EXPECT_EQ(window->focusWidget(), window->edtExemplare);

    SetRange(*window, 1031, 1100);
    AnswerSaveDialog(Path("columns.pdf"));
    QTest::mouseClick(window->BPdf, Qt::LeftButton);

    const std::string pdf = Path("columns.pdf");
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const std::string text = PdfText(pdf);
    // Each column starts with its column titles: "Pt." at both ends of each title row.
    EXPECT_EQ(CountOf(text, "Pt."), 4) << text;
    EXPECT_EQ(CountOf(text, "100 Bk"), 2) << text;
    EXPECT_NE(text.find("1031"), std::string::npos);
}

// --- faults

TEST_F(PrintWindow, AFileThatCannotBeWrittenIsReportedAndTheDialogStaysAsItWas) {
    // Root may write anywhere; below a device file nobody can create a folder.
    const std::string unwritable = "/dev/null/x/report";
    for (QPushButton* TKvrPrintDlg::*button : {&TKvrPrintDlg::BPdf, &TKvrPrintDlg::btnHtml}) {
        auto window = Open();
        SetRange(*window, 1097, 1100);
        window->ChooseFile = [&](QWidget*, const TKvrSaveFileRequest&, std::string& chosen) {
            chosen = unwritable + ".pdf";
            return true;
        };
        std::string message;
        AnswerMessage("OK", &message);
        QTest::mouseClick((*window).*button, Qt::LeftButton);
        EXPECT_NE(message.find("/dev/null/x/report"), std::string::npos) << message;
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->BPdf->isEnabled());
        EXPECT_EQ(window->EPointsMin->AsInteger(), 1097);
        EXPECT_EQ(Section("TFPrintPointTable")->ReadInteger("EPointsMin", 0), 1097);
        EXPECT_FALSE(Section("TFPrintPointTable")->ReadString("DocumentSettings", "").empty());
    }
}

TEST_F(PrintWindow, AnUnreadableStoredLayoutIsKeptAsideAndTheDefaultsAreUsed) {
    const std::string garbage = "<DOCUMENTSETTING margintop=\"1.5\"<<<";
    Section("TFPrintPointTable")->WriteString("DocumentSettings", garbage);
    std::string warning;
    AnswerMessage("OK", &warning);
    auto window = std::make_unique<TFPrintPointTable>(BuiltInTables().GetPointTable(Fina2011),
                                                      sco50m, sgeMen, 99);
    window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !warning.empty(); }, 2000));
    ShowActive(window.get());
    EXPECT_NE(warning.find("cannot be read"), std::string::npos) << warning;
    EXPECT_EQ(window->Settings, TBSSwDocumentSettings());
    EXPECT_EQ(Section("TFPrintPointTable")->ReadString("DocumentSettingsUnreadable", ""), garbage);
    // The dialog works on: an output stores the defaults in place of the garbage.
    SetRange(*window, 1100, 1100);
    AnswerSaveDialog(Path("after.pdf"));
    QTest::mouseClick(window->BPdf, Qt::LeftButton);
    EXPECT_EQ(PdfPageCount(Path("after.pdf")), 1);
    EXPECT_EQ(Section("TFPrintPointTable")->ReadString("DocumentSettingsUnreadable", ""), garbage);
}

TEST_F(PrintWindow, APrinterThatWentAwayIsReportedAndTheListRefreshed) {
    Section("KVR_Printer")->WriteString("Current", "Lab");
    auto window = Open();
    ASSERT_EQ(window->CBPrinters->currentText(), "Lab");
    service->printers = {"Office"};
    std::string message;
    AnswerMessage("OK", &message);
    QTest::mouseClick(window->btnPrint, Qt::LeftButton);
    EXPECT_NE(message.find("\"Lab\" is no longer available"), std::string::npos) << message;
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->CBPrinters->count(), 1);
    EXPECT_EQ(window->CBPrinters->currentText(), "Office");
    EXPECT_TRUE(service->log->calls.empty());
}

// --- a real printing system

// The queues of the test script's CUPS server (scripts/cups.sh): its DIR/env.
std::map<std::string, std::string> CupsEnvironment() {
    std::map<std::string, std::string> values;
    const char* dir = std::getenv("MARQOR_TEST_CUPS_DIR");
    if (!dir || !*dir)
        return values;
    std::ifstream env(std::string(dir) + "/env");
    for (std::string line; std::getline(env, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    values["DIR"] = dir;
    return values;
}

class CupsPrinting : public ::testing::Test {
protected:
    void SetUp() override {
        env = CupsEnvironment();
        if (env["CUPS_SERVER"].empty())
            GTEST_SKIP() << "no CUPS server for the tests (scripts/test.sh starts one with "
                            "scripts/cups.sh and names its directory in MARQOR_TEST_CUPS_DIR)";
        const auto names = QPrinterInfo::availablePrinterNames();
        for (const char* queue : {"MARQOR_PDF_QUEUE", "MARQOR_FILE_QUEUE", "MARQOR_REFUSING_QUEUE"})
            if (!names.contains(QString::fromStdString(env[queue])))
                GTEST_SKIP() << "the CUPS server at " << env["CUPS_SERVER"] << " does not list "
                             << queue << " '" << env[queue] << "'";
        UseQtReportDevices();
        for (const char* name : {"KVR_Printer", "TFPrintPointTable"})
            Section(name)->Clear();
    }

    // Prints the women's table from 1100 down to 1096 on the queue through the dialog.
    void PrintOn(const std::string& queue) {
        Section("KVR_Printer")->WriteString("Current", queue);
        window = std::make_unique<TFPrintPointTable>(BuiltInTables().GetPointTable(Fina2011),
                                                     sco50m, sgeWomen, 99);
        ShowActive(window.get());
        ASSERT_EQ(window->CBPrinters->currentText().toStdString(), queue);
        TypeInto(window->EPointsMin, "1096");
        TypeInto(window->EPointsMax, "1100");
        QTest::mouseClick(window->btnPrint, Qt::LeftButton);
    }

    // The first PDF with pages that appears below the folder within a minute.
    static std::string WaitForPdf(const fs::path& folder) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error))
                if (entry.path().extension() == ".pdf" && PdfPageCount(entry.path()) > 0)
                    return entry.path();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return {};
    }

    std::map<std::string, std::string> env;
    std::unique_ptr<TFPrintPointTable> window;
};

TEST_F(CupsPrinting, ThePrintedJobReachesThePdfPrinterAsOnePageTitledAfterTheWindow) {
    PrintOn(env["MARQOR_PDF_QUEUE"]);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    // cups-pdf writes the job's file once the queue has run it through Ghostscript.
    const std::string pdf = WaitForPdf(env["DIR"] + "/pdf");
    ASSERT_FALSE(pdf.empty()) << "no PDF from " << env["MARQOR_PDF_QUEUE"];
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_NE(PdfInfo(pdf).find("Print point table"), std::string::npos) << PdfInfo(pdf);
}

TEST_F(CupsPrinting, ThePrintedJobHoldsThePointTable) {
    PrintOn(env["MARQOR_FILE_QUEUE"]);
    EXPECT_FALSE(window->isVisible());
    const std::string pdf = WaitForPdf(env["DIR"] + "/file");
    ASSERT_FALSE(pdf.empty()) << "no job from " << env["MARQOR_FILE_QUEUE"];
    EXPECT_EQ(PdfPageCount(pdf), 1);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(RowPoints(text), (std::vector<int>{1100, 1099, 1098, 1097, 1096})) << text;
    EXPECT_NE(text.find("Women, Long Course (50m)"), std::string::npos) << text;
}

TEST_F(CupsPrinting, AQueueThatRefusesJobsIsReportedAndTheDialogStays) {
    std::string message;
    AnswerMessage("OK", &message);
    PrintOn(env["MARQOR_REFUSING_QUEUE"]);
    EXPECT_NE(message.find("refused the job"), std::string::npos) << message;
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Section("TFPrintPointTable")->ReadInteger("EPointsMin", 0), 1096);
}

} // namespace
