#include "controls/choice_controls.h"
#include "controls/control_services.h"
#include "controls/edit.h"
#include "controls/language_ctrls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace marqor;

namespace {

IBSStringListPtr Section(std::vector<std::string> lines) {
    return NewStringListFrom(lines);
}

struct BlockCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::tuple<std::string, int, int>> blocks; // name, first, count
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << c.name;
}

class FormSectionBlocksTest : public testing::TestWithParam<BlockCase> {};

TEST_P(FormSectionBlocksTest, SplitsTheSectionIntoComponentBlocks) {
    const auto& c = GetParam();
    const auto blocks = FormSectionBlocks(*Section(c.lines));
    ASSERT_EQ(blocks.size(), c.blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].Name, std::get<0>(c.blocks[i]));
        EXPECT_EQ(blocks[i].First, std::get<1>(c.blocks[i]));
        EXPECT_EQ(blocks[i].Count, std::get<2>(c.blocks[i]));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormSectionBlocksTest,
    testing::Values(
        BlockCase{"caption only", {"Window"}, {}},
        BlockCase{"lines before the first header", {"W", "stray", ".@A", "x"}, {{"A", 3, 1}}},
        BlockCase{"trailing empty lines dropped", {"W", ".@A", "x", "", ""}, {{"A", 2, 1}}},
        BlockCase{"empty lines inside kept", {"W", ".@A", "x", "", "y"}, {{"A", 2, 3}}},
        BlockCase{"one empty line still counts", {"W", ".@A", ""}, {{"A", 2, 1}}},
        BlockCase{"header after header", {"W", ".@A", ".@B", "b"}, {{"A", 2, 0}, {"B", 3, 1}}},
        BlockCase{"header at the end", {"W", ".@A", "a", ".@B"}, {{"A", 2, 1}, {"B", 4, 0}}}));

class TranslateWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->setWindowTitle("Designed");
        label_ = new QLabel("Age", window_.get());
        label_->setObjectName("Label1");
        button_ = new QPushButton("Rechnen", window_.get());
        button_->setObjectName("BCalculate");
        button_->setToolTip("designed hint");
        plain_ = new QLineEdit(window_.get());
        plain_->setObjectName("EName");
        edit_ = new TBSEdit(window_.get());
        edit_->setObjectName("EHandicap");
        group_ = new TKvrRadioGroup(window_.get());
        group_->setObjectName("RgrGeschlecht");
        group_->SetItems({"M", "W"});
        action_ = new QAction("Drucken", window_.get());
        action_->setObjectName("ActPrint");
    }

    void Apply(std::vector<std::string> lines) {
        TBSLanguageCtrls(window_.get()).ApplySection(*Section(std::move(lines)));
    }

    std::unique_ptr<QWidget> window_;
    QLabel* label_;
    QPushButton* button_;
    QLineEdit* plain_;
    TBSEdit* edit_;
    TKvrRadioGroup* group_;
    QAction* action_;
};

TEST_F(TranslateWindowTest, AnEmptyFirstLineLeavesTheCaption) {
    Apply({"", ".@Label1", "Age:"});
    EXPECT_EQ(window_->windowTitle(), "Designed");
    EXPECT_EQ(label_->text(), "Age:");
    Apply({"Calculate points"});
    EXPECT_EQ(window_->windowTitle(), "Calculate points");
}

TEST_F(TranslateWindowTest, ALabelBlockWithOneEmptyLineEmptiesTheCaption) {
    Apply({"", ".@Label1", ""});
    EXPECT_EQ(label_->text(), "");
}

TEST_F(TranslateWindowTest, TrailingEmptyLinesLeaveTheHintAsDesigned) {
    Apply({"", ".@BCalculate", "Calculate", "", ""});
    EXPECT_EQ(button_->text(), "Calculate");
    EXPECT_EQ(button_->toolTip(), "designed hint");
}

TEST_F(TranslateWindowTest, AButtonTakesCaptionAndHint) {
    Apply({"", ".@bcalculate", "Calculate", "Computes the other value"});
    EXPECT_EQ(button_->text(), "Calculate");
    EXPECT_EQ(button_->toolTip(), "Computes the other value");
}

TEST_F(TranslateWindowTest, AControlWithoutCaptionTakesItsLineAsHintUnlessItDecidesItself) {
    Apply({"", ".@EName", "Your name", ".@EHandicap", "Handicap", "Possible values"});
    EXPECT_EQ(plain_->toolTip(), "Your name");
    EXPECT_EQ(edit_->HintWhenEmpty(), "Handicap");
    EXPECT_EQ(edit_->toolTip(), "Possible values");
}

TEST_F(TranslateWindowTest, ActionsAndTranslatableGroupsTakeTheirLines) {
    Apply({"", ".@ActPrint", "Print", "Prints the table", ".@RgrGeschlecht", "Gender", "", "Men",
           "Women"});
    EXPECT_EQ(action_->text(), "Print");
    EXPECT_EQ(action_->toolTip(), "Prints the table");
    EXPECT_EQ(group_->Caption(), "Gender");
    EXPECT_EQ(group_->Items(), (std::vector<std::string>{"Men", "Women"}));
}

TEST_F(TranslateWindowTest, SkipsUnknownComponentsAndHeadersWithoutText) {
    Apply({"", ".@Nobody", "x", ".@Label1", ".@BCalculate", "Calculate"});
    EXPECT_EQ(label_->text(), "Age");
    EXPECT_EQ(button_->text(), "Calculate");
}

TEST_F(TranslateWindowTest, AppliesTheBuiltInSectionOfTheCalculator) {
    TBSLanguageCtrls(window_.get()).Translate("TKvrFPCalculator");
    EXPECT_EQ(window_->windowTitle(), "Calculate points");
    EXPECT_EQ(label_->text(), "Age:");
    EXPECT_EQ(button_->text(), "Calculate");
    EXPECT_EQ(group_->Caption(), "Gender");
    EXPECT_EQ(group_->Items(), (std::vector<std::string>{"Men", "Women"}));
    TBSLanguageCtrls(window_.get()).Translate("TNoSuchWindow"); // nothing happens
    EXPECT_EQ(window_->windowTitle(), "Calculate points");
}

class DebugBuild final : public IBSControlServices {
public:
    std::string VersionText() override { return "Debug Build"; }
};

TEST_F(TranslateWindowTest, CollectsATemplateOnlyInADebugBuild) {
    window_->setWindowTitle("TestWindow");
    auto* data = new QLabel("12", window_.get());
    data->setObjectName("L1");
    auto* ok = new QPushButton("OK", window_.get());
    ok->setObjectName("BOk");
    edit_->SetHintWhenEmpty("  indented");

    TBSLanguageCtrls translator(window_.get());
    translator.CollectTemplate("TTestWindow");
    EXPECT_TRUE(translator.Collected().IsEmpty());

    SetControlServices(std::make_shared<DebugBuild>());
    translator.CollectTemplate("TTestWindow");
    SetControlServices(nullptr);
    EXPECT_EQ(translator.Collected().Join("|"),
              "[Form.TTestWindow]|.|.@Label1|Age|.@BCalculate|Rechnen|designed hint|"
              ".@EHandicap|__indented|.@RgrGeschlecht|.|.|M|W|.@ActPrint|Drucken");
    EXPECT_EQ(translator.Collected().Item(translator.Collected().Count() - 1), "");
}

} // namespace
