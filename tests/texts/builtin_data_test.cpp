#include "foundation/errors.h"
#include "texts/kvr_language.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

// The product's start-up step, before any test resolves a text.
const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

TBSLanguageData BuiltInData() {
    TLanguageKavrin kavrin;
    return TBSLanguageData(*kavrin.LoadLanguageLines(LanguageEnglish));
}

struct Stored {
    int key;
    const char* text;
};

void PrintTo(const Stored& s, std::ostream* os) {
    *os << "key " << s.key;
}

class GeneralText : public testing::TestWithParam<Stored> {};

TEST_P(GeneralText, IsStoredExactly) {
    ASSERT_TRUE(kRegistered);
    const auto data = BuiltInData();
    EXPECT_EQ(data.DataSection("KAVRIN_G")->Get(std::to_string(GetParam().key)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(KavrinG, GeneralText, testing::Values(
    Stored{10, "%s\\nFile exists !  Replace ?"}, Stored{52, "Portrait"},
    Stored{53, "Landscape"}, Stored{55, "Page_"}, Stored{56, "Test &page"},
    Stored{57, "Print only one page"}, Stored{58, "HTML File"},
    Stored{59, "Output as HTML file"}, Stored{60, ", part %d of %d"},
    Stored{61, "Page %d of %d"}, Stored{68, "Are you sure you want to cancel ?"},
    Stored{91, "Choose directory:"}, Stored{95, "All (*.*)|*.*|HTML files (*.htm)|*.htm"},
    Stored{96, "Output as HTML file:  %s"}, Stored{97, "Calculate"},
    Stored{107, "Path not valid !"}, Stored{132, "several"},
    Stored{133, "Directory is not empty!\\nFiles will be automatically be overwritten.\\n"
                "Continue ?"},
    Stored{158, "Output as PDF file"},
    Stored{159, "All files (*.*)|*.*|PDF - files (*.pdf)|*.pdf"}));

TEST(BuiltInData, HoldsItsSectionsInOrderAndNoneOfTheLibrarysOwn) {
    EXPECT_EQ(BuiltInData().SectionNames(),
              (std::vector<std::string>{
                  "DATA.KAVRIN_G", "DATA.KAVRIN_S", "DATA.MARQOR", "FORM.TKVRFERRORSEND",
                  "FORM.TKVRFFILEDIALOG", "FORM.TKVRFLANGSELECT", "FORM.TKVRFPCALCULATOR",
                  "FORM.TKVRFSYSTEMINFO", "FORM.TKVRLABELDLG", "FORM.TKVRLABELSETUPDLG",
                  "FORM.TKVRLOGDLG", "FORM.TKVRNOTEEDITDLG", "FORM.TKVRPREVIEWDLG",
                  "FORM.TKVRPRINTDLG", "FORM.TKVRPRINTSETUPDLG", "FORM.TKVRSTATUSDLG",
                  "DATA.BSSWLANGUAGE", "DATA.BSSWPOINTS", "DATA.BSSWREPORT"}));
}

TEST(BuiltInData, HoldsTheFormLinesOfThisSystemsWindows) {
    const auto data = BuiltInData();
    EXPECT_EQ(data.FormSection("TKvrFPCalculator")->Items(),
              (std::vector<std::string>{"Calculate points", ".@BCalculate", "Calculate",
                                        ".@Label1", "Age:", ".@RBPoints", "Enter points:",
                                        ".@RBTime", "Enter time:", ".@RgrGeschlecht", "Gender",
                                        "", "Men", "Women"}));
    EXPECT_EQ(data.FormSection("TKvrPrintDlg")->Items(),
              (std::vector<std::string>{
                  "", ".@BPdf", "PDF", "Output as file in PDF format", ".@btnCancel", "Cancel",
                  ".@btnHtml", "HTML", "Output as HTML file in <TABLE> format", ".@btnOptions",
                  "Options", "Modify alignment, fonts, margins, columns, footer", ".@btnPreview",
                  "Preview", "Launch on-screen preview", ".@btnPrint", "Print", "Begin printing",
                  ".@btnSetup", "Properties", ".@CBPrinters", "Choose another printer",
                  ".@Label2", "Copies:", ".@LPrintername", "Printer name:"}));
    EXPECT_EQ(data.FormSection("TKvrPreviewDlg")->Items(),
              (std::vector<std::string>{
                  "Preview -", ".@btnCancel", "Cancel", ".@btnFirst", "First page",
                  ".@btnFullPage", "Zoom full page", ".@btnLast", "Last page", ".@btnNext",
                  "Next page", ".@btnPrev", "Previous page", ".@btnPrint", "Launch printing",
                  ".@btnZoom100", "Zoom 100%", ".@btnZoomIn", "Zoom In", ".@btnZoomOut",
                  "Zoom Out", ".@btnZoomPage", "Zoom page width"}));
    EXPECT_EQ(data.FormSection("TKvrStatusDlg")->Items(),
              (std::vector<std::string>{"", ".@btnAbort", "Cancel"}));
}

TEST(BuiltInData, HoldsTheSwimmingVocabularyWithoutPluralRoundNames) {
    const auto section = BuiltInData().DataSection("BSSwLanguage");
    for (const char* key : {"AgeGroups", "AllPools", "CourseNameOpenWater", "GenderCodes",
                            "GenderNames", "GenderNames2", "Pool", "RelayAgeGroups",
                            "RoundNames", "StrokeCodes", "StrokeNames", "YOBs"})
        EXPECT_TRUE(section->ContainsName(key)) << key;
    EXPECT_FALSE(section->ContainsName("RoundNamesPlural"));
    EXPECT_EQ(section->Get("Pool"), "%s Pool");
}

// ---------------------------------------------------------------------------------------------
// Lookups through the process-wide language object

struct Lookup {
    const char* reference;
    int index;
    const char* expected;
};

void PrintTo(const Lookup& l, std::ostream* os) {
    *os << '"' << l.reference << "\" " << l.index;
}

class BuiltInLookup : public testing::TestWithParam<Lookup> {};

TEST_P(BuiltInLookup, ResolvesAsTheProductShowsIt) {
    EXPECT_EQ(LanguageText(GetParam().reference, GetParam().index), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(References, BuiltInLookup, testing::Values(
    Lookup{"#KAVRIN_G.61", -1, "Page %d of %d"},
    Lookup{"#KAVRIN_G.55", -1, "Page "},
    Lookup{"#KAVRIN_G.10", -1, "%s\nFile exists !  Replace ?"},
    Lookup{"#KAVRIN_G.999", -1, "#KAVRIN_G.999"},
    Lookup{"#KAVRIN_S.5", 0, ""},
    Lookup{"#KAVRIN_S.5", 2, "DSQ"},
    Lookup{"#KAVRIN_S.5", 40, ""},
    Lookup{"#BS.YesNo", 1, "#BS.YesNo"},
    Lookup{"#BS.Cancel", -1, "#BS.Cancel"},
    Lookup{"#BSLanguage.us", -1, "#BSLanguage.us"},
    Lookup{"#BSMadExcept.SendBtnCaption", -1, "#BSMadExcept.SendBtnCaption"},
    Lookup{"#BSSwReport.Paper", -1, "Paper: %s"},
    Lookup{"#BSSwReport.undefined", -1, " (size not known)"},
    Lookup{"#BSSwReport.FooterInfo", 1, "Footer lines: %d"},
    Lookup{"#BSSwLanguage.StrokeNames", 4, "Fly"},
    Lookup{"#BSSwLanguage.RoundNamesPlural", 3, "#BSSwLanguage.RoundNamesPlural"},
    Lookup{"Calculate", 3, "Calculate"}));

TEST(BuiltInLanguage, IsEnglishAndTheChoiceIsWrittenBackAtTheFirstLookup) {
    EXPECT_EQ(Language().CurrentLanguage(), LanguageEnglish);
    EXPECT_EQ(UserSettings()->GetSection("Orvane")->ReadInteger("ActiveLanguage", 0), 4);
    EXPECT_EQ(Language().LanguageName(4), "English");
}

TEST(BuiltInLanguage, FormatsItsTextsWithArguments) {
    EXPECT_EQ(LanguageTextFmt("#KAVRIN_G.61", {2, 5}), "Page 2 of 5");
    EXPECT_EQ(LanguageTextFmt("#BSSwLanguage.Pool", {"50m"}), "50m Pool");
    EXPECT_EQ(LanguageTextFmt("#KAVRIN_G.10", {"a.pdf"}), "a.pdf\nFile exists !  Replace ?");
    EXPECT_THROW(LanguageTextFmt("#KAVRIN_G.61", {"two", "five"}), EConvertError);
    EXPECT_THROW(LanguageTextFmt("#KAVRIN_G.61", {1}), EConvertError);
}

TEST(BuiltInLanguage, TheFamilyAccessorCountsItemsFromOne) {
    auto& texts = TLanguage::Instance();
    EXPECT_EQ(texts.Text("G", 61), "Page %d of %d");
    EXPECT_EQ(texts.Text("S", 5, 3), "DSQ");
    EXPECT_EQ(texts.Text("S", 5, 1), "");
    EXPECT_EQ(texts.Text("G", 9999), "#KAVRIN_G.9999");
}

TEST(BuiltInLanguage, DatesUseTheLanguagesFormatsAndZeroIsNoDate) {
    const TDateTime moment = *EncodeDateTime(2010, 3, 1, 14, 30);
    EXPECT_EQ(FormatLanguageDateTime("dd.mm.yyyy hh:nn", moment), "01.03.2010 14:30");
    EXPECT_EQ(FormatLanguageDateTime("dd mmmm yyyy", moment), "01 March 2010");
    EXPECT_EQ(FormatLanguageDateTime("dd.mm.yyyy", 0), "");
    EXPECT_EQ(FormatLanguageDateTime("dd.mm.yyyy", 0, true), "30.12.1899");
}

TEST(BuiltInLanguage, MonthAndDayNamesStayReadableWithoutLibraryTexts) {
    LanguageText("#KAVRIN_G.61");
    EXPECT_EQ(ProcessFormatSettings().LongMonthNames[0], "January");
    EXPECT_EQ(Language().GetFormatSettings().ShortDayNames[0], "Sun");
}

TEST(BuiltInLanguage, TheAlignmentNamesAreReferencesWithoutLibraryTexts) {
    const auto items = Language().HorizontalAlignmentNames();
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->TextOfKey(0), "#BS.HorizontalAlignment");
}

} // namespace
