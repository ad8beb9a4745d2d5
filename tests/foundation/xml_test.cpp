#include "foundation/errors.h"
#include "foundation/xml.h"
#include "foundation/zip.h"
#include "temp_dir.h"

#include <clocale>
#include <gtest/gtest.h>
#include <thread>

using namespace marqor;
using marqor::testing_support::TempDir;

namespace {

// Two trees are equal when names, tags, attributes (in order) and children are.
bool SameTree(const IBSXmlElement& a, const IBSXmlElement& b) {
    if (a.Name() != b.Name() || a.Tag() != b.Tag() || a.ChildCount() != b.ChildCount())
        return false;
    const auto names = a.AttributeNames();
    if (names->Items() != b.AttributeNames()->Items())
        return false;
    for (const auto& n : *names)
        if (a.GetText(n) != b.GetText(n))
            return false;
    for (int i = 0; i < a.ChildCount(); ++i)
        if (!SameTree(*a.ChildAt(i), *b.ChildAt(i)))
            return false;
    return true;
}

IBSXmlElementPtr SampleTree() {
    auto root = NewXmlElement("KAVRIN");
    root->SetText("application", "Marqor");
    auto settings = root->AddNewChild("DOCUMENTSETTING");
    settings->SetInteger("copies", 2);
    settings->SetFloat("scale", 1.25);
    settings->SetBool("landscape", true);
    settings->SetText("title", "Ämter & <Vereine> \"2024\" 'x'");
    settings->SetText("multi", "line one\r\nline\ttwo");
    settings->SetSwimTime("best", 83456);
    settings->SetDate("day", *TryEncodeDate(2024, 3, 9));
    auto footer = NewStringList();
    footer->Add("first");
    footer->Add("");
    footer->Add("third & last");
    settings->AddChild(NewXmlLinesElement("FOOTER", *footer));
    settings->AddNewChild("NOTE")->SetOwnText("Text mit Umlauten äöü");
    settings->AddNewChild("EMPTY");
    return root;
}

struct GetCase {
    const char* text;
    bool boolean;
    std::int32_t integer;
    double floating;
    std::int32_t orMissing;
};

void PrintTo(const GetCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class TypedGetters : public testing::TestWithParam<GetCase> {};

TEST_P(TypedGetters, ReadTheAttributeTextOrGiveTheZeroValue) {
    auto e = NewXmlElement("E");
    e->SetText("v", GetParam().text);
    EXPECT_EQ(e->GetBool("v"), GetParam().boolean);
    EXPECT_EQ(e->GetInteger("v"), GetParam().integer);
    EXPECT_DOUBLE_EQ(e->GetFloat("v"), GetParam().floating);
    EXPECT_EQ(e->GetIntegerOrMissing("v"), GetParam().orMissing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedGetters,
    testing::Values(GetCase{"", false, 0, 0, -32768}, GetCase{"TRUE", true, 0, 0, -32768},
                    GetCase{"false", false, 0, 0, -32768}, GetCase{"12", true, 12, 12, 12},
                    GetCase{"0", false, 0, 0, 0}, GetCase{"+7", true, 7, 7, 7},
                    GetCase{"1,5", false, 0, 1.5, -32768}, GetCase{"1.5", false, 0, 1.5, -32768},
                    GetCase{"-3", true, -3, -3, -3}, GetCase{"x", false, 0, 0, -32768},
                    GetCase{"99999999999", false, 0, 99999999999.0, -32768}));

TEST(XmlElement, SettersWriteTheirFixedTextForms) {
    auto e = NewXmlElement("E");
    e->SetFloat("f", 1.5);
    e->SetFloat("g", 1e20);
    e->SetFloat("h", 0.00001);
    e->SetFloat("i", 1.0 / 3);
    e->SetHundredths("a", 0.125);
    e->SetHundredths("b", 0.135);
    e->SetHundredths("z", 0);
    e->SetBool("no", false);
    e->SetSignedInteger("p", 5);
    e->SetSignedInteger("q", 0);
    e->SetSignedInteger("r", -5);
    e->SetSwimTime("t", 83456);
    e->SetSwimTime("nt", 2147483647);
    e->SetSwimTime("long", 360'000'000 + 83456);
    const TDateTime when = *TryEncodeDate(2024, 3, 9) + *TryEncodeTime(7, 5, 3);
    e->SetDate("d", when);
    e->SetDateTime("dt", when);
    e->SetTime("tm", when);
    struct {
        const char* name;
        const char* text;
    } expected[] = {
        {"f", "1.5"},        {"g", "1E20"},
        {"h", "1E-5"},       {"i", "0.333333333333333"},
        {"a", "12"},         {"b", "14"},
        {"z", "0"},          {"no", "False"},
        {"p", "+5"},         {"q", "0"},
        {"r", "-5"},         {"t", "00:01:23.45"},
        {"nt", "NT"},        {"long", "100:01:23.45"},
        {"d", "2024-03-09"}, {"dt", "2024-03-09T07:05:03"},
        {"tm", "07:05"},
    };
    for (const auto& x : expected)
        EXPECT_EQ(e->GetText(x.name), x.text) << x.name;
    EXPECT_EQ(e->GetSwimTime("t"), 83450);
    EXPECT_EQ(e->GetSwimTime("nt"), 2147483647);
    EXPECT_EQ(e->GetSwimTime("long"), 360'083'450);
    EXPECT_EQ(e->GetSwimTime("missing"), 0);
    EXPECT_DOUBLE_EQ(e->GetDate("dt"), *TryEncodeDate(2024, 3, 9));
    EXPECT_NEAR(e->GetDateTime("dt"), when, 1e-9);
    EXPECT_NEAR(e->GetTime("tm"), *TryEncodeTime(7, 5, 0), 1e-9);
    EXPECT_DOUBLE_EQ(e->GetHundredths("a"), 0.12);
}

// Hours beyond the valid times, however many digits they have, give no time.
TEST(XmlElement, SwimTimesOfTooManyHoursAreNoTime) {
    auto e = NewXmlElement("E");
    for (const char* text : {"596:31:23.65", "26222222222222:22:22.22",
                             "99999999999999999999999999:00:00.00"}) {
        e->SetText("t", text);
        EXPECT_EQ(e->GetSwimTime("t"), XmlNoSwimTime) << text;
    }
    e->SetText("t", "596:31:23.64");
    EXPECT_EQ(e->GetSwimTime("t"), 2147483640);
}

TEST(XmlElement, FloatsUseAPointWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    auto e = NewXmlElement("E");
    e->SetFloat("f", 1.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(e->GetText("f"), "1.5");
}

TEST(XmlElement, ZeroAndEmptyValuesLeaveTheAttributeOut) {
    auto e = NewXmlElement("E");
    e->SetInteger("i", 0);
    e->SetFloat("f", 0);
    e->SetDate("d", 0);
    e->SetText("t", "");
    e->SetSignedInteger("s", -32768);
    EXPECT_EQ(e->AttributeNames()->Count(), 0);
    EXPECT_EQ(e->GetInteger("i"), 0);
    e->SetText("t", "x");
    e->SetOwnText("own");
    e->SetText("u", "y");
    e->SetText("t", "changed");
    EXPECT_EQ(e->AttributeNames()->Items(), (std::vector<std::string>{"t", "", "u"}));
    EXPECT_TRUE(e->HasAttribute(""));
    e->SetText("t", "");
    EXPECT_FALSE(e->HasAttribute("t"));
}

TEST(XmlElement, WritesElementsFormattedAndUnformatted) {
    auto a = NewXmlElement("A");
    EXPECT_EQ(a->AsXmlText(true), "<A />\r\n");
    EXPECT_EQ(a->AsXmlText(false), "<A />");
    a->SetText("v", "&\"");
    auto b = a->AddNewChild("B");
    b->SetOwnText("t");
    b->AddNewChild("C");
    a->AddNewChild("D")->SetOwnText("x<y");
    EXPECT_EQ(a->AsXmlText(true), "<A v=\"&amp;&quot;\">\r\n"
                                  "  <B>t\r\n"
                                  "    <C />\r\n"
                                  "  </B>\r\n"
                                  "  <D>x&lt;y</D>\r\n"
                                  "</A>\r\n");
    EXPECT_EQ(a->AsXmlText(false, true),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><A v=\"&amp;&quot;\"><B>t<C /></B>"
              "<D>x&lt;y</D></A>");
    EXPECT_EQ(EscapeXmlText("a &#228; & <b>"), "a &#228; & &lt;b&gt;");
    EXPECT_EQ(EscapeXmlText("it's"), "it&apos;s");
}

TEST(XmlElement, ChildrenAreFoundAddedAndPruned) {
    auto root = NewXmlElement("R");
    auto made = root->Child("MISSING");
    EXPECT_EQ(root->ChildCount(), 1);
    EXPECT_EQ(made->Parent(), root);
    EXPECT_EQ(root->Child("MISSING"), made);
    EXPECT_TRUE(root->Prune());
    EXPECT_EQ(root->ChildCount(), 0);
    auto kept = root->ChildWithInteger("ITEM", "id", 5);
    auto other = root->ChildWith("ITEM", "id", "6");
    EXPECT_EQ(root->ChildWith("ITEM", "id", "5"), kept);
    EXPECT_NE(other, kept);
    EXPECT_EQ(root->ReadLines("LIST")->Count(), 0);
    EXPECT_TRUE(root->HasChild("LIST"));
    EXPECT_FALSE(root->Prune());
    EXPECT_EQ(root->ChildCount(), 2);
    root->RemoveChild(kept.get());
    EXPECT_EQ(kept->Parent(), nullptr);
    other->RemoveFromParent();
    EXPECT_EQ(root->ChildCount(), 0);
    EXPECT_THROW(root->ChildAt(0), EListError);
    EXPECT_EQ(NewXmlLinesElement("L", *NewStringList()), nullptr);
    EXPECT_THROW(kept->AddChild(kept), std::invalid_argument);
    auto inner = kept->AddNewChild("IN");
    EXPECT_THROW(inner->AddChild(kept), std::invalid_argument);
}

TEST(XmlElement, ValuesAreInheritedFromTheNearestElementThatHasThem) {
    auto root = NewXmlElement("ROOT");
    root->SetInteger("size", 10);
    root->SetText("font", "Arial");
    auto middle = root->AddNewChild("MIDDLE");
    middle->SetInteger("size", 12);
    auto leaf = middle->AddNewChild("LEAF");
    EXPECT_EQ(leaf->InheritedInteger("size"), 12);
    EXPECT_EQ(leaf->InheritedText("font"), "Arial");
    EXPECT_EQ(leaf->InheritedText("none"), "");
    leaf->SetId(7);
    EXPECT_EQ(leaf->GetText("leafid"), "7");
    EXPECT_EQ(leaf->Id(), 7);
}

TEST(XmlElement, CloneCopiesWithoutTheParent) {
    auto tree = SampleTree();
    auto settings = tree->ChildAt(0);
    auto deep = settings->Clone(true);
    EXPECT_TRUE(SameTree(*deep, *settings));
    EXPECT_EQ(deep->Parent(), nullptr);
    EXPECT_EQ(settings->Clone(false)->ChildCount(), 0);
    deep->SetText("title", "changed");
    EXPECT_NE(settings->GetText("title"), "changed");
}

TEST(XmlElement, ATreeRoundTripsThroughAFile) {
    TempDir dir;
    auto tree = SampleTree();
    auto file = NewFile(dir / "export.xml");
    {
        auto w = file->OpenWrite(false, weUtf8Bom);
        tree->WriteTo(*w, true);
        w->Close();
    }
    EXPECT_TRUE(
        TempDir::Read(file->PathText())
            .starts_with("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KAVRIN"));
    auto loaded = LoadXmlFromFile(*file);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(SameTree(*tree, *loaded)) << loaded->AsXmlText();
    auto footer = loaded->ChildAt(0)->ReadLines("FOOTER");
    EXPECT_EQ(footer->Items(), (std::vector<std::string>{"first", "", "third & last"}));
    EXPECT_EQ(loaded->ChildAt(0)->GetText("multi"), "line one\r\nline\ttwo");

    // Unformatted, through the text form and through a zipped copy.
    auto again = LoadXmlFromText(tree->AsXmlText(false, true), true);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(SameTree(*tree, *again));
    OpenZipEntryWriter(dir / "export.zip", "export.xml", weUtf8Bom)->Write(tree->AsXmlText());
    auto zipped = LoadXmlFromFile(*NewFile(dir / "export.zip"), true);
    ASSERT_NE(zipped, nullptr);
    EXPECT_TRUE(SameTree(*tree, *zipped));
    EXPECT_EQ(LoadXmlFromFile(*NewFile(dir / "missing.xml")), nullptr);
}

struct LoadCase {
    const char* name;
    std::string text;
    bool loads;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadText : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadText, GivesAnElementOnlyForWellFormedText) {
    EXPECT_EQ(LoadXmlFromText(GetParam().text) != nullptr, GetParam().loads);
}

std::string Nested(int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += "<a>";
    for (int i = 0; i < depth; ++i)
        s += "</a>";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadText,
    testing::Values(
        LoadCase{"Plain", "<A b=\"1\"/>", true}, LoadCase{"Empty", "", false},
        LoadCase{"OnlyADeclaration", "<?xml version=\"1.0\"?>", false},
        LoadCase{"Unclosed", "<A><B></A>", false}, LoadCase{"Garbage", "not xml at all", false},
        LoadCase{"TruncatedAttribute", "<A b=\"1", false},
        LoadCase{"DeepButAllowed", Nested(XmlMaxDepth), true},
        LoadCase{"HundredThousandLevels", Nested(100'000), false},
        LoadCase{"UnclosedHundredThousandLevels", std::string(300'000, '<'), false},
        LoadCase{"EntityExpansion",
                 "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                 "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;\">]>"
                 "<r v=\"&d;&d;&d;&d;&d;&d;\">&d;&d;&d;&d;</r>",
                 true}));

TEST(LoadXml, CustomEntitiesAreNeverExpanded) {
    auto e = LoadXmlFromText("<!DOCTYPE r [<!ENTITY a \"aaaa\">]><r v=\"&a;&amp;&#228;\">&a;</r>");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetText("v"), "&a;&ä");
    EXPECT_EQ(e->Text(), "&a;");
}

TEST(LoadXml, TextNodesAreTrimmedAndCommentsIgnored) {
    auto e =
        LoadXmlFromText("<r a=\"1\"><!-- note --><?pi x?>\n  first  <c/><![CDATA[ second ]]></r>");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Text(), "second");
    EXPECT_EQ(e->ChildCount(), 1);
    EXPECT_EQ(e->GetInteger("a"), 1);
}

TEST(LoadXml, TheDeclarationCanBeDroppedSoItsEncodingDoesNotMatter) {
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r v=\"ä\"/>";
    auto e = LoadXmlFromText(text, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetText("v"), "ä");
}

TEST(LoadXml, StreamsAreDecodedByTheirMarkOrAsWindows1252) {
    TempDir dir;
    auto ansi = LoadXmlFromFile(*NewFile(dir.Write("a.xml", "<r v=\"M\xFCller\"/>")));
    ASSERT_NE(ansi, nullptr);
    EXPECT_EQ(ansi->GetText("v"), "Müller");
    auto utf16 = LoadXmlFromFile(
        *NewFile(dir.Write("b.xml", std::string("\xFF\xFE", 2) + EncodeUtf16LE("<r v=\"ß\"/>"))));
    ASSERT_NE(utf16, nullptr);
    EXPECT_EQ(utf16->GetText("v"), "ß");
    auto text = LoadXmlFromStream(*OpenTextReader("<r v=\"日本\"/>"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText("v"), "日本");
}

TEST(XmlElement, ADeepTreeBuiltInCodeDiesWithoutRecursion) {
    auto root = NewXmlElement("R");
    auto e = root;
    for (int i = 0; i < 200'000; ++i)
        e = e->AddNewChild("C");
    e.reset();
    root.reset(); // would overflow the stack if children died recursively
    SUCCEED();
}

TEST(XmlElement, AsXmlTextOnManyThreadsKeepsEveryTextApart) {
    std::vector<std::thread> threads;
    std::vector<bool> ok(8, false);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &ok] {
            auto e = NewXmlElement("T");
            e->SetInteger("n", t + 1);
            bool all = true;
            for (int i = 0; i < 200; ++i)
                all = all && e->AsXmlText(false) == "<T n=\"" + std::to_string(t + 1) + "\" />";
            ok[static_cast<std::size_t>(t)] = all;
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(std::count(ok.begin(), ok.end(), true), 8);
}

TEST(XmlElement, DocumentRootsRecordTheirOrigin) {
    SetXmlDocumentOrigin("FINA Marqor", "3.1.4");
    auto root = NewXmlDocumentRoot("KAVRIN");
    EXPECT_EQ(root->GetText("application"), "FINA Marqor");
    EXPECT_EQ(root->GetText("version"), "3");
    EXPECT_GT(root->GetDateTime("created"), *TryEncodeDate(2020, 1, 1));
    EXPECT_TRUE(root->Matches(XmlNameNumber("KAVRIN"), XmlNameNumber("version"), "3"));
    EXPECT_TRUE(root->Matches(XmlNameNumber("KAVRIN"), -1, ""));
    EXPECT_FALSE(root->Matches(XmlNameNumber("OTHER"), -1, ""));
}

} // namespace
