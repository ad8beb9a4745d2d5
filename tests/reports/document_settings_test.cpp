#include "../foundation/temp_dir.h"
#include "report_test_support.h"
#include "reports/document_settings.h"

#include <gtest/gtest.h>

namespace marqor {
namespace {

using testing_support::TempDir;
using testing_support::THooksScope;

TBSSwDocumentSettings Sample() {
    TBSSwDocumentSettings s;
    s.MarginTop = 1.1;
    s.MarginBottom = 0.8;
    s.MarginLeft = 1.3;
    s.MarginRight = 1.25;
    s.ColumnDistance = 1.5;
    s.ColumnCount = 2;
    s.VarFontName = "Verdana";
    s.FixFontName = "Consolas";
    s.HeaderPerColumn = true;
    s.Orientation = orLandscape;
    s.AddressLeft = 11.5;
    s.AddressTop = 4.0;
    s.FooterFontSize = 8;
    s.FooterLeft = {"Club <Nord> & \"Süd\"", "", "@PAGE@"};
    s.FooterRight = {"@DATE@"};
    s.Images = {{"logo", iaCenter, 0.5, 2.35, 1.0}, {"sponsor", iaRight, 1.0, 18.0, 27.5}};
    s.HtmlTemplate = "/srv/templates/club.htt";
    s.HtmlIndexFile = "start.html";
    s.HtmlTableWidth = 700;
    return s;
}

TEST(DocumentSettings, XmlHasTheAttributesAndChildrenInTheirFixedOrder) {
    const std::string xml = Sample().ToXml()->AsXmlText(false);
    const char* order[] = {
        "<DOCUMENTSETTING ",
        "margintop=\"1.1\"",
        "marginbottom=\"0.8\"",
        "marginleft=\"1.3\"",
        "marginright=\"1.25\"",
        "columndistance=\"1.5\"",
        "columncount=\"2\"",
        "varfontname=\"Verdana\"",
        "fixfontname=\"Consolas\"",
        "headerpercolumn=\"True\"",
        "orientation=\"LANDSCAPE\"",
        "addressleft=\"11.5\"",
        "addresstop=\"4\"",
        "footerfontsize=\"8\"",
        "htmltemplate=",
        "htmlindexfile=\"start.html\"",
        "htmltablewidth=\"700\"",
        "<FOOTERLEFT>",
        "<LINE value=",
        "<FOOTERRIGHT>",
        "<IMAGES>",
        "<IMAGE picture=\"logo\" halign=\"CENTER\" scale=\"0.5\" x=\"2.35\" y=\"1\"",
        "<IMAGE picture=\"sponsor\" halign=\"RIGHT\""};
    std::size_t at = 0;
    for (const char* part : order) {
        const std::size_t found = xml.find(part, at);
        ASSERT_NE(found, std::string::npos) << part << " after " << at << " in " << xml;
        at = found;
    }
    EXPECT_EQ(xml.find("FOOTERCENTER"), std::string::npos);
}

TEST(DocumentSettings, XmlRoundTripGivesEqualSettings) {
    const TBSSwDocumentSettings original = Sample();
    TBSSwDocumentSettings copy;
    copy.LoadFromXml(LoadXmlFromText(original.ToXml()->AsXmlText()));
    EXPECT_EQ(copy, original);
    TBSSwDocumentSettings defaults;
    copy.LoadFromXml(LoadXmlFromText(defaults.ToXml()->AsXmlText()));
    EXPECT_EQ(copy, defaults);
}

TEST(DocumentSettings, NoElementGivesDefaultsAndMissingAttributesTheXmlLayersValues) {
    TBSSwDocumentSettings s = Sample();
    s.LoadFromXml(nullptr);
    EXPECT_EQ(s, TBSSwDocumentSettings());
    EXPECT_EQ(s.HtmlIndexFile, "index.html");

    THooksScope hooks;
    s.LoadFromXml(LoadXmlFromText("<DOCUMENTSETTING columncount=\"1\" orientation=\"landscape\">"
                                  "<IMAGES><IMAGE halign=\"center\"/><IMAGE halign=\"middle\"/>"
                                  "</IMAGES></DOCUMENTSETTING>"));
    EXPECT_EQ(s.MarginTop, 0);
    EXPECT_EQ(s.VarFontName, "");
    EXPECT_EQ(s.HtmlIndexFile, "");
    EXPECT_EQ(s.HtmlTableWidth, 0);
    EXPECT_EQ(s.Orientation, orPortrait);
    ASSERT_EQ(s.ImageCount(), 2);
    EXPECT_EQ(s.Image(0).HAlign, iaCenter);
    EXPECT_EQ(s.Image(1).HAlign, iaLeft);
    EXPECT_EQ(s.Image(0).Scale, 0);
    EXPECT_TRUE(hooks.log.empty());
}

TEST(DocumentSettings, ApplyToConvertsCentimetresAndLeavesFootersAndFooterSize) {
    TKvrDocument doc(nullptr);
    doc.PaperIndex = 2;
    doc.FooterLeft = {"kept"};
    doc.FooterFontPercent = 100;
    Sample().ApplyTo(doc);
    EXPECT_EQ(doc.MarginTop, 110);
    EXPECT_EQ(doc.MarginBottom, 80);
    EXPECT_EQ(doc.MarginLeft, 130);
    EXPECT_EQ(doc.MarginRight, 125);
    EXPECT_EQ(doc.ColumnDistance, 150);
    EXPECT_EQ(doc.ColumnCount, 2);
    EXPECT_EQ(doc.AddressLeft, 1150);
    EXPECT_EQ(doc.AddressTop, 400);
    EXPECT_EQ(doc.Orientation, orLandscape);
    EXPECT_TRUE(doc.HeaderPerColumn);
    EXPECT_EQ(doc.VarFontName, "Verdana");
    EXPECT_EQ(doc.FixFontName, "Consolas");
    EXPECT_EQ(doc.HtmlTableWidth, 700);
    EXPECT_EQ(doc.HtmlTemplate, "/srv/templates/club.htt");
    EXPECT_EQ(doc.FooterLeft, std::vector<std::string>{"kept"});
    EXPECT_EQ(doc.FooterFontPercent, 100);
}

TEST(DocumentSettings, FootersAreTrimmedAsTextsAndImagesBecomeDocumentEntries) {
    TBSSwDocumentSettings s = Sample();
    s.FooterLeft = {"", "  A", "", "B  ", "", " "};
    s.FooterCenter = {" ", ""};
    TKvrDocument doc(nullptr);
    s.ApplyFootersAndImagesTo(doc);
    EXPECT_EQ(doc.FooterLeft, (std::vector<std::string>{"A", "", "B"}));
    EXPECT_TRUE(doc.FooterCenter.empty());
    EXPECT_EQ(doc.FooterRight, std::vector<std::string>{"@DATE@"});
    EXPECT_EQ(doc.Images, (std::vector<std::string>{"24;10;50;2;logo", "180;275;100;1;sponsor"}));
}

TEST(DocumentSettings, StoredUnderDocumentSettingsInTheWindowsSection) {
    const auto saved = UserSettings();
    SetUserSettings(NewMemorySettings());
    StoreDocumentSettings("TFPrintPointTable", Sample());
    EXPECT_FALSE(UserSettings()
                     ->GetSection("TFPrintPointTable")
                     ->ReadString("DocumentSettings", "")
                     .empty());
    EXPECT_EQ(LoadDocumentSettings("TFPrintPointTable"), Sample());
    UserSettings()->GetSection("TFPrintPointTable")->WriteString("DocumentSettings", "<<no xml");
    EXPECT_EQ(LoadDocumentSettings("TFPrintPointTable"), TBSSwDocumentSettings());
    EXPECT_EQ(LoadDocumentSettings("Elsewhere"), TBSSwDocumentSettings());
    SetUserSettings(saved);
}

TEST(DocumentSettings, ExportThenImportGivesEqualSettings) {
    TempDir dir;
    ExportDocumentSettings(Sample(), dir / "layout.xml");
    const std::string bytes = TempDir::Read(dir / "layout.xml");
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF<?xml", 0), 0u);
    EXPECT_NE(bytes.find("<KAVRIN "), std::string::npos);
    EXPECT_NE(bytes.find("created=\""), std::string::npos);
    EXPECT_EQ(ImportDocumentSettings(dir / "layout.xml"), Sample());
}

struct ImportCase {
    const char* name;
    const char* content; // nullptr: no file
    EBSSwDocumentSettingsImport::Reason reason;
    const char* message; // the start of the message
};
void PrintTo(const ImportCase& c, std::ostream* os) {
    *os << c.name;
}

class DocumentSettingsImport : public ::testing::TestWithParam<ImportCase> {};

TEST_P(DocumentSettingsImport, RefusesFilesThatAreNotExportsWithTheMessageToShow) {
    TempDir dir;
    const ImportCase& c = GetParam();
    const std::string file = dir / "in.xml";
    if (c.content)
        dir.Write("in.xml", c.content);
    try {
        ImportDocumentSettings(file);
        FAIL() << "imported";
    } catch (const EBSSwDocumentSettingsImport& error) {
        EXPECT_EQ(error.WhyRefused(), c.reason);
        EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocumentSettingsImport,
    ::testing::Values(
        ImportCase{"wrong_root", "<OTHER><DOCUMENTSETTING/></OTHER>",
                   EBSSwDocumentSettingsImport::irWrongData, "File contains wrong data!"},
        ImportCase{"no_child", "<KAVRIN application=\"x\"><SETTING/></KAVRIN>",
                   EBSSwDocumentSettingsImport::irWrongData, "File contains wrong data!"},
        ImportCase{"bare_element", "<DOCUMENTSETTING columncount=\"2\"/>",
                   EBSSwDocumentSettingsImport::irWrongData, "File contains wrong data!"},
        ImportCase{"not_xml", "margins: 1cm", EBSSwDocumentSettingsImport::irLoadError,
                   "Error when loading file!\n"},
        ImportCase{"missing", nullptr, EBSSwDocumentSettingsImport::irLoadError,
                   "Error when loading file!\n"}));

TEST(DocumentSettingsImport, AbsurdValuesAreClampedAndLoggedAndTheReportStillRuns) {
    THooksScope hooks;
    TempDir dir;
    dir.Write("absurd.xml",
              "<KAVRIN><DOCUMENTSETTING margintop=\"-4\" marginbottom=\"1e308\" marginleft=\"60\" "
              "marginright=\"60\" columndistance=\"-1\" columncount=\"2000000000\" "
              "htmltablewidth=\"-70000\" addressleft=\"nan\"/></KAVRIN>");
    const TBSSwDocumentSettings s = ImportDocumentSettings(dir / "absurd.xml");
    EXPECT_EQ(s.MarginTop, 0);
    EXPECT_EQ(s.MarginBottom, 100);
    EXPECT_EQ(s.ColumnDistance, 0);
    EXPECT_EQ(s.ColumnCount, 100);
    EXPECT_EQ(s.HtmlTableWidth, -1);
    EXPECT_EQ(hooks.log.size(), 5u);

    auto service = std::make_shared<testing_support::TRecordingService>();
    TKvrReport report(service);
    s.ApplyTo(report.Document);
    EXPECT_LE(report.Document.MarginLeft + report.Document.MarginRight,
              report.Document.PageWidth() - 200);
    EXPECT_EQ(report.Document.MarginTop + report.Document.MarginBottom,
              report.Document.PageHeight() - 200);
    EXPECT_GE(report.Document.ColumnCount, 1);
    EXPECT_GE(report.Document.ColumnWidth(), 200);
    int rows = 0;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        for (; rows < 300; ++rows) {
            r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(rows, 300);
}

} // namespace
} // namespace marqor

namespace marqor {
namespace {

TEST(PrintDevice, PrefersTheStoredPrinterWhenItExistsElseTheCurrentOne) {
    const auto saved = UserSettings();
    SetUserSettings(NewMemorySettings());
    testing_support::TRecordingService service;
    service.printers = {"Hall", "Office", "Pool"};
    const auto items = TBSSwPrintDevice::PrinterItems(&service);
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->TextOfKey(2), "Pool");
    EXPECT_EQ(TBSSwPrintDevice::PreferredPrinterIndex(&service), 1);
    UserSettings()->GetSection("Orvane")->WriteString("CurrentPrinter", "Pool");
    EXPECT_EQ(TBSSwPrintDevice::PreferredPrinterIndex(&service), 2);
    UserSettings()->GetSection("Orvane")->WriteString("CurrentPrinter", "Gone");
    EXPECT_EQ(TBSSwPrintDevice::PreferredPrinterIndex(&service), 1);
    TBSSwPrintDevice::SelectPrinter(0, &service);
    EXPECT_EQ(service.printer, "Hall");
    TBSSwPrintDevice::SelectPrinter(7, &service);
    EXPECT_EQ(service.printer, "Hall");
    service.printer = "";
    UserSettings()->GetSection("Orvane")->WriteString("CurrentPrinter", "");
    EXPECT_EQ(TBSSwPrintDevice::PreferredPrinterIndex(&service), -1);
    SetUserSettings(saved);
}

} // namespace
} // namespace marqor
