#include "../controls/gui_test_support.h"
#include "report_dialogs/report_setup_dialog.h"
#include "report_dialogs/report_setup_dlg.h"
#include "report_dialogs/report_setup_rules.h"
#include "services/ui.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>

using namespace marqor;
using namespace marqor::test;

namespace {

// -----------------------------------------------------------------------------------------------
// Rules

TEST(ReportSetupRules, ThePaperLineGivesTheSizeInTheChosenOrientation) {
    struct Case {
        int row;
        bool landscape;
        const char* text;
    };
    const Case cases[] = {
        {2, false, "Paper: A4, 21.0 cm  x  29.7 cm"},
        {2, true, "Paper: A4, 29.7 cm  x  21.0 cm"},
        {6, false, "Paper: US-Letter, 21.6 cm  x  27.9 cm"},
        {0, false, "Paper: ? (size not known)"}, // not in the paper table
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaperInformationText(PaperInfoOfRow(c.row), c.landscape), c.text) << c.row;
}

TEST(ReportSetupRules, CountsFooterLinesAsAListHoldsThem) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(FooterLinesOfText(""), Lines{});
    EXPECT_EQ(FooterLinesOfText("a"), Lines{"a"});
    EXPECT_EQ(FooterLinesOfText("a\n"), Lines{"a"});
    EXPECT_EQ(FooterLinesOfText("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(FooterTextOfLines({"a", "", "b"}), "a\n\nb");
    EXPECT_EQ(FooterCaretText(0, 0, 0), "1 / 1  (0)");
    EXPECT_EQ(FooterCaretText(1, 4, 3), "2 / 5  (3)");
    EXPECT_EQ(FooterCountText(0, 0, 0), "No footer lines");
    EXPECT_EQ(FooterCountText(1, 3, 2), "Footer lines: 3");
}

TEST(ReportSetupRules, OneColumnKeepsNoColumnDistanceAndNoHeaderPerColumn) {
    TBSSwDocumentSettings edited;
    edited.ColumnCount = 1;
    edited.ColumnDistance = 2.5;
    edited.HeaderPerColumn = true;
    edited.Images.push_back({"LOGO", iaCenter, 0.5, 1, 2});
    const auto one = SettingsAsEdited(edited);
    EXPECT_EQ(one.ColumnDistance, 0);
    EXPECT_FALSE(one.HeaderPerColumn);
    EXPECT_EQ(one.Images, edited.Images);
    edited.ColumnCount = 3;
    const auto three = SettingsAsEdited(edited);
    EXPECT_EQ(three.ColumnDistance, 2.5);
    EXPECT_TRUE(three.HeaderPerColumn);
}

// -----------------------------------------------------------------------------------------------
// The dialog

// Two printers: an A4 office printer and one whose paper the table does not know.
class FakePrinting final : public IKvrPrintingService {
public:
    std::vector<std::string> PrinterNames() override { return {"Office", "Plotter"}; }
    std::string CurrentPrinterName() override { return current; }
    void SelectPrinter(std::string_view name) override { current = name; }
    std::int32_t DefaultPaperCode(std::string_view printer) override {
        return printer == "Office" ? 9 : 77;
    }
    std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() override { throw std::logic_error("no"); }
    std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() override { throw std::logic_error("no"); }
    std::shared_ptr<IKvrPdfDevice> NewPdfDevice() override { throw std::logic_error("no"); }

    std::string current = "Office";
};

// Answers the file choosers from a list of names, then cancels; records the messages.
class RecordingUI final : public TBSUIConsole {
public:
    RecordingUI() : TBSUIConsole(sink_) {}
    bool ChooseFile(std::string_view title, std::string_view, std::string& file, int mode,
                    std::string_view filter) override {
        titles.emplace_back(title);
        modes.push_back(mode);
        filters.emplace_back(filter);
        if (files.empty())
            return false;
        file = files.front();
        files.pop_front();
        return true;
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const auto& m : Messages())
            if (m.Icon == uiiError)
                errors.push_back(m.Text);
        return errors;
    }

    std::deque<std::string> files;
    std::vector<std::string> titles;
    std::vector<int> modes;
    std::vector<std::string> filters;

private:
    std::ostringstream sink_;
};

TBSSwDocumentSettings TwoColumnSettings() {
    TBSSwDocumentSettings s;
    s.MarginTop = 2.0;
    s.MarginBottom = 1.8;
    s.MarginLeft = 2.5;
    s.MarginRight = 0.5;
    s.ColumnCount = 2;
    s.ColumnDistance = 0.8;
    s.HeaderPerColumn = true;
    s.Orientation = orLandscape;
    s.FooterLeft = {"Club meet", "Pool 2"};
    s.FooterRight = {"Page"};
    s.FooterFontSize = 8;
    s.HtmlIndexFile = "start.html";
    s.HtmlTableWidth = 640;
    s.Images.push_back({"LOGO", iaRight, 0.75, 3, 4});
    return s;
}

class ReportSetupDialogTest : public testing::Test {
protected:
    void SetUp() override {
        previous_ = ReportPrintingService();
        printing_ = std::make_shared<FakePrinting>();
        SetReportPrintingService(printing_);
        RegisterUIClass<RecordingUI>();
        ui_ = static_cast<RecordingUI*>(&UIServices());
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        dialog_.reset();
        RegisterUIClass(nullptr);
        SetReportPrintingService(previous_);
    }

    TFBSSwReportSetupDlg& Open(const TBSSwDocumentSettings& settings, bool printerChoice = true) {
        dialog_ = std::make_unique<TFBSSwReportSetupDlg>(printerChoice);
        dialog_->PrinterProperties = [this](QWidget*, const std::string& printer) {
            propertiesFor_.push_back(printer);
        };
        dialog_->SetSettings(settings);
        ShowActive(dialog_.get());
        return *dialog_;
    }
    // Replaces the field's text as the user would and leaves it with Tab.
    static void Retype(TBSEdit* edit, const char* text) {
        FocusByTab(edit);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
    void WriteFile(const std::string& path, const std::string& text) const {
        std::ofstream(path, std::ios::binary) << text;
    }

    IKvrPrintingServicePtr previous_;
    std::shared_ptr<FakePrinting> printing_;
    RecordingUI* ui_ = nullptr;
    QTemporaryDir dir_;
    std::unique_ptr<TFBSSwReportSetupDlg> dialog_;
    std::vector<std::string> propertiesFor_;
};

TEST_F(ReportSetupDialogTest, ShowsTheSettingsItIsGiven) {
    auto& d = Open(TwoColumnSettings());
    EXPECT_EQ(d.windowTitle(), "Edit document settings");
    EXPECT_EQ(d.EMarginTop->text(), "2.0");
    EXPECT_EQ(d.EMarginRight->text(), "0.5");
    EXPECT_EQ(d.EColumnCount->text(), "2");
    EXPECT_EQ(d.EColumnDistance->text(), "0.8");
    EXPECT_TRUE(d.EColumnDistance->isEnabled());
    EXPECT_TRUE(d.ChkHeaderPerColumn->isChecked());
    EXPECT_EQ(d.RgrOrientation->ItemIndex(), 1);
    EXPECT_EQ(d.LInfo->text(), "Paper: A4, 29.7 cm  x  21.0 cm");
    EXPECT_EQ(d.CBPrinters->currentText(), "Office");
    EXPECT_EQ(d.MemFooterLeft->toPlainText(), "Club meet\nPool 2");
    EXPECT_EQ(d.LFooterCount->text(), "Footer lines: 2");
    EXPECT_EQ(d.EFooterFontSize->text(), "8");
    EXPECT_EQ(d.EHtmlIndexFile->text(), "start.html");
    EXPECT_EQ(d.EHtmlTableWidth->text(), "640");
    // The images page stays hidden; the others show.
    EXPECT_FALSE(d.PceSettings->isTabVisible(d.PceSettings->indexOf(d.TsImages)));
    EXPECT_TRUE(d.PceSettings->isTabVisible(d.PceSettings->indexOf(d.TsHtml)));
    EXPECT_EQ(d.PceSettings->currentWidget(), d.TsMargins);
    EXPECT_FALSE(d.GrAddrPos->isVisible());
}

TEST_F(ReportSetupDialogTest, OkGivesTheEditedSettingsAndCarriesWhatHasNoField) {
    TBSSwDocumentSettings settings = TwoColumnSettings();
    settings.VarFontName = "No Such Font Family";
    OnNextModal([](QWidget* w) {
        auto* d = qobject_cast<TFBSSwReportSetupDlg*>(w);
        ASSERT_NE(d, nullptr);
        Retype(d->EMarginTop, "3.25");
        Retype(d->EMarginLeft, "250"); // at most 100
        d->PceSettings->setCurrentWidget(d->TsFooter);
        QTest::keyClicks(d->MemFooterCenter, "Final");
        QTest::mouseClick(d->BOK, Qt::LeftButton);
    });
    ASSERT_TRUE(EditDocumentSettings(settings, true));
    EXPECT_DOUBLE_EQ(settings.MarginTop, 3.3);
    EXPECT_DOUBLE_EQ(settings.MarginLeft, 100);
    EXPECT_EQ(settings.FooterCenter, std::vector<std::string>{"Final"});
    EXPECT_EQ(settings.FooterLeft, TwoColumnSettings().FooterLeft);
    // What the dialog shows no field for, and a font this machine lacks, come back as they were.
    EXPECT_EQ(settings.Images, TwoColumnSettings().Images);
    EXPECT_EQ(settings.AddressLeft, TwoColumnSettings().AddressLeft);
    EXPECT_EQ(settings.VarFontName, "No Such Font Family");
}

TEST_F(ReportSetupDialogTest, CancelChangesNothing) {
    TBSSwDocumentSettings settings = TwoColumnSettings();
    OnNextModal([](QWidget* w) {
        auto* d = qobject_cast<TFBSSwReportSetupDlg*>(w);
        ASSERT_NE(d, nullptr);
        Retype(d->EMarginTop, "4.0");
        d->BDefaultItemSelect(1);
        QTest::mouseClick(d->BCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(EditDocumentSettings(settings, true));
    EXPECT_EQ(settings, TwoColumnSettings());
}

TEST_F(ReportSetupDialogTest, DefaultsTwoGivesTwoLandscapeColumns) {
    auto& d = Open(TBSSwDocumentSettings());
    EXPECT_FALSE(d.EColumnDistance->isEnabled());
    ASSERT_EQ(d.BDefault->Menu()->actions().size(), 2);
    EXPECT_EQ(d.BDefault->Menu()->actions()[1]->text(), "Landscape, two columns");
    d.BDefault->Menu()->actions()[1]->trigger();
    EXPECT_TRUE(d.EColumnDistance->isEnabled());
    EXPECT_TRUE(d.ChkHeaderPerColumn->isEnabled());
    EXPECT_EQ(d.LInfo->text(), "Paper: A4, 29.7 cm  x  21.0 cm");
    QTest::mouseClick(d.BOK, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const auto& s = d.Settings();
    EXPECT_DOUBLE_EQ(s.MarginTop, 1.1);
    EXPECT_DOUBLE_EQ(s.MarginBottom, 1);
    EXPECT_DOUBLE_EQ(s.MarginLeft, 1.3);
    EXPECT_DOUBLE_EQ(s.MarginRight, 1.3);
    EXPECT_EQ(s.ColumnCount, 2);
    EXPECT_DOUBLE_EQ(s.ColumnDistance, 1.5);
    EXPECT_EQ(s.Orientation, orLandscape);
}

TEST_F(ReportSetupDialogTest, DefaultsOneAfterTwoColumnsDropsTheColumnDistance) {
    auto& d = Open(TwoColumnSettings());
    d.BDefault->Menu()->actions()[0]->trigger();
    const auto& s = d.Settings();
    EXPECT_EQ(s.ColumnCount, 1);
    EXPECT_EQ(s.Orientation, orPortrait);
    EXPECT_DOUBLE_EQ(s.MarginTop, 1);
    EXPECT_DOUBLE_EQ(s.MarginBottom, 1);
    EXPECT_DOUBLE_EQ(s.MarginLeft, 1.5);
    EXPECT_DOUBLE_EQ(s.MarginRight, 1.5);
    EXPECT_EQ(s.ColumnDistance, 0);
    EXPECT_FALSE(s.HeaderPerColumn);
    EXPECT_EQ(d.EColumnDistance->text(), ""); // zero shows blank
    EXPECT_EQ(d.LInfo->text(), "Paper: A4, 21.0 cm  x  29.7 cm");
}

TEST_F(ReportSetupDialogTest, TypingOneColumnDisablesAndClearsTheColumnOptions) {
    auto& d = Open(TwoColumnSettings());
    Retype(d.EColumnCount, "1");
    EXPECT_FALSE(d.EColumnDistance->isEnabled());
    EXPECT_FALSE(d.LColumnDistance->isEnabled());
    EXPECT_FALSE(d.ChkHeaderPerColumn->isEnabled());
    EXPECT_FALSE(d.ChkHeaderPerColumn->isChecked());
    EXPECT_EQ(d.Settings().ColumnDistance, 0);
    // Back to three columns: the options are offered again, without the old values.
    Retype(d.EColumnCount, "3");
    EXPECT_TRUE(d.EColumnDistance->isEnabled());
    EXPECT_FALSE(d.ChkHeaderPerColumn->isChecked());
    // Zero columns cannot be typed.
    Retype(d.EColumnCount, "0");
    EXPECT_EQ(d.Settings().ColumnCount, 1);
}

TEST_F(ReportSetupDialogTest, ChoosingAPrinterTakesEffectAtOnceEvenOnCancel) {
    auto& d = Open(TBSSwDocumentSettings());
    EXPECT_EQ(d.LInfo->text(), "Paper: A4, 21.0 cm  x  29.7 cm");
    FocusByTab(d.CBPrinters);
    QTest::keyClick(d.CBPrinters, Qt::Key_Down);
    Settle();
    EXPECT_EQ(printing_->current, "Plotter");
    EXPECT_EQ(d.LInfo->text(), "Paper: ? (size not known)");
    QTest::mouseClick(d.BProperties, Qt::LeftButton);
    EXPECT_EQ(propertiesFor_, std::vector<std::string>{"Plotter"});
    QTest::mouseClick(d.BCancel, Qt::LeftButton);
    EXPECT_EQ(printing_->current, "Plotter");
}

TEST_F(ReportSetupDialogTest, WithoutPrinterChoiceThePrinterControlsAreDisabled) {
    auto& d = Open(TBSSwDocumentSettings(), false);
    EXPECT_FALSE(d.CBPrinters->isEnabled());
    EXPECT_FALSE(d.BProperties->isEnabled());
    EXPECT_FALSE(d.Label1->isEnabled());
}

TEST_F(ReportSetupDialogTest, TheFooterPageShowsCaretAndLineCounts) {
    auto& d = Open(TBSSwDocumentSettings());
    EXPECT_TRUE(d.BDefault->isVisible());
    d.PceSettings->setCurrentWidget(d.TsFooter);
    EXPECT_FALSE(d.BDefault->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.MemFooterLeft->hasFocus(); }, 1000));
    EXPECT_EQ(d.LFooterCount->text(), "No footer lines");
    EXPECT_EQ(d.LFooterLeftCaret->text(), "1 / 1  (0)");
    QTest::keyClicks(d.MemFooterLeft, "Meet");
    QTest::keyClick(d.MemFooterLeft, Qt::Key_Return);
    QTest::keyClicks(d.MemFooterLeft, "ab");
    EXPECT_EQ(d.LFooterLeftCaret->text(), "2 / 3  (2)");
    EXPECT_EQ(d.LFooterCount->text(), "Footer lines: 2");
    EXPECT_EQ(d.LFooterCenterCaret->text(), "1 / 1  (0)");
    // Escape in the left footer cancels the dialog.
    QTest::keyClick(d.MemFooterLeft, Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(ReportSetupDialogTest, ExportThenImportGivesTheSameSettings) {
    auto& d = Open(TwoColumnSettings());
    const std::string file = Path("layout.xml");
    ui_->files = {file};
    QTest::mouseClick(d.BExport, Qt::LeftButton);
    EXPECT_EQ(ui_->titles, std::vector<std::string>{"Export document settings"});
    EXPECT_EQ(ui_->modes, std::vector<int>{0});
    EXPECT_EQ(ui_->filters.at(0), "XML files (*.xml)|*.xml|All (*.*)|*.*");
    EXPECT_TRUE(ui_->Errors().empty());
    EXPECT_EQ(ImportDocumentSettings(file), d.Settings());

    d.BDefaultItemSelect(1);
    ASSERT_NE(d.Settings(), TwoColumnSettings());
    ui_->files = {file};
    QTest::mouseClick(d.BImport, Qt::LeftButton);
    EXPECT_EQ(ui_->modes.back(), 1);
    EXPECT_EQ(d.Settings(), TwoColumnSettings());
    EXPECT_EQ(d.EColumnCount->text(), "2");
    EXPECT_TRUE(ui_->Errors().empty());
}

TEST_F(ReportSetupDialogTest, AnImportOfTheWrongKindSaysSoAndKeepsTheSettings) {
    struct Case {
        const char* name;
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"plain.xml", "margins are 2 cm", "Error when loading file!\n"},
        {"other.xml", "<?xml version=\"1.0\"?><OTHER><DOCUMENTSETTING/></OTHER>",
         "File contains wrong data!"},
        {"empty-root.xml", "<KAVRIN application=\"x\"/>", "File contains wrong data!"},
    };
    auto& d = Open(TwoColumnSettings());
    for (const auto& c : cases) {
        const std::string file = Path(c.name);
        WriteFile(file, c.content);
        ui_->files = {file};
        const auto asked = ui_->titles.size();
        QTest::mouseClick(d.BImport, Qt::LeftButton);
        ASSERT_EQ(ui_->Errors().size(), std::size_t(&c - cases + 1)) << c.name;
        EXPECT_TRUE(ui_->Errors().back().starts_with(c.message)) << ui_->Errors().back();
        // Asked again after the message; the test then cancels.
        EXPECT_EQ(ui_->titles.size(), asked + 2) << c.name;
        EXPECT_EQ(d.Settings(), TwoColumnSettings()) << c.name;
    }
    // A file that is not there is refused before it is read.
    ui_->files = {Path("missing.xml")};
    QTest::mouseClick(d.BImport, Qt::LeftButton);
    EXPECT_NE(ui_->Errors().back().find("missing.xml"), std::string::npos);
    // Still usable afterwards.
    Retype(d.EMarginTop, "1.2");
    QTest::mouseClick(d.BOK, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(d.Settings().MarginTop, 1.2);
}

TEST_F(ReportSetupDialogTest, AnExportThatCannotBeWrittenNamesTheFile) {
    auto& d = Open(TwoColumnSettings());
    // A folder below a plain file cannot be made, whoever runs the test.
    const std::string blocker = Path("blocker");
    WriteFile(blocker, "x");
    const std::string file = blocker + "/layout.xml";
    ui_->files = {file};
    QTest::mouseClick(d.BExport, Qt::LeftButton);
    ASSERT_FALSE(ui_->Errors().empty());
    EXPECT_NE(ui_->Errors().back().find(file), std::string::npos) << ui_->Errors().back();
    EXPECT_EQ(ui_->titles.size(), 2u); // asked again
    EXPECT_TRUE(d.isVisible());
}

} // namespace
