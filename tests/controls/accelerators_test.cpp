#include "controls/accelerators.h"
#include "controls/choice_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <set>

using namespace marqor;

namespace {

// The letter after "&" of each caption; every caption must have one.
std::set<char32_t> Letters(const std::vector<std::string>& captions) {
    std::set<char32_t> letters;
    for (const auto& c : captions)
        letters.insert(ExistingAccelerator(c));
    return letters;
}

TEST(AcceleratorLetters, AreDigitsLettersAndUmlautsAfterUpperCasing) {
    EXPECT_EQ(ExistingAccelerator("&Men"), U'M');
    EXPECT_EQ(ExistingAccelerator("Save &as"), U'A');
    EXPECT_EQ(ExistingAccelerator("&&Co"), U'C'); // the first "&" before a letter counts
    EXPECT_EQ(ExistingAccelerator("Last&"), 0);
    EXPECT_EQ(ExistingAccelerator("&-"), 0);
    EXPECT_EQ(ExistingAccelerator("&über"), U'\u00DC');
    EXPECT_EQ(CandidateLetters("Ab 1 ab!é"), U"AB1");
    EXPECT_EQ(CandidateLetters("-- ?"), U"");
    EXPECT_EQ(InsertAccelerator("Next", U'E'), "N&ext");
    EXPECT_EQ(InsertAccelerator("Größe", U'\u00D6'), "Gr&öße");
}

TEST(AcceleratorAssignment, PrefersControlsWithFewerChoices) {
    TKvrAccelerator root;
    auto& box = root.AddItem(nullptr, -1, akCheckBox, "Next");
    auto& label = root.AddItem(nullptr, -1, akLabel, "Name");
    root.Assign();
    EXPECT_EQ(label.Letter, U'N'); // weight 3 + 4 letters before 4 + 4
    EXPECT_EQ(box.Letter, U'E');
    EXPECT_TRUE(box.Assigned);
}

TEST(AcceleratorAssignment, KeepsExistingLettersAndAvoidsReservedOnes) {
    TKvrAccelerator root;
    root.Reserved = U"F";
    auto& men = root.AddItem(nullptr, 0, akRadioGroupItem, "&Men");
    auto& women = root.AddItem(nullptr, 1, akRadioGroupItem, "Women");
    auto& file = root.AddItem(nullptr, -1, akPushButton, "File");
    auto& none = root.AddItem(nullptr, -1, akPushButton, "?!");
    root.Assign();
    EXPECT_EQ(men.Letter, U'M');
    EXPECT_FALSE(men.Assigned);
    EXPECT_EQ(women.Letter, U'W');
    EXPECT_EQ(file.Letter, U'I');
    EXPECT_EQ(none.Letter, 0);
}

TEST(AcceleratorAssignment, SiblingGroupsShareLettersButNotTheirParents) {
    TKvrAccelerator root;
    root.Reserved = U"O";
    auto& top = root.AddItem(nullptr, -1, akPushButton, "Print");
    auto& first = root.AddChild(nullptr);
    auto& second = root.AddChild(nullptr);
    auto& a = first.AddItem(nullptr, -1, akCheckBox, "Points");
    auto& b = second.AddItem(nullptr, -1, akCheckBox, "Pool");
    root.Assign();
    EXPECT_EQ(top.Letter, U'P');
    EXPECT_EQ(a.Letter, U'I'); // P belongs to the window, O to the menu
    EXPECT_EQ(b.Letter, U'L');
    EXPECT_EQ(first.Items[0].Letter, U'I');
}

TEST(AssignAccelerators, GivesEachCaptionOfAWindowItsOwnLetter) {
    QMainWindow window;
    window.menuBar()->addMenu("&File");
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    auto* label = new QLabel("Name", central);
    label->setBuddy(new QLineEdit(central));
    auto* next = new TKvrCheckBox(central);
    next->SetCaption("Next");
    auto* gender = new TKvrRadioGroup(central);
    gender->SetItems({"Men", "Women", "Mixed"});
    auto* calculate = new QPushButton("Calculate", central);
    auto* ok = new QPushButton("OK", central);
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", central);
    SetCancelButton(cancel);
    auto* plain = new QLabel("Free text", central);

    AssignAccelerators(&window);
    const std::vector<std::string> captions = {label->text().toStdString(),
                                               next->Caption(),
                                               gender->Button(0)->text().toStdString(),
                                               gender->Button(1)->text().toStdString(),
                                               gender->Button(2)->text().toStdString(),
                                               calculate->text().toStdString()};
    for (const auto& c : captions)
        EXPECT_NE(ExistingAccelerator(c), 0) << c;
    const auto letters = Letters(captions);
    EXPECT_EQ(letters.size(), captions.size());
    EXPECT_EQ(letters.count(U'F'), 0u); // the File menu has it
    EXPECT_EQ(calculate->text(), "&Calculate");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(plain->text(), "Free text");
}

TEST(AssignAccelerators, KeepsTheGenderCaptionsThatHaveTheirLetters) {
    QWidget window;
    auto* gender = new TKvrRadioGroup(&window);
    gender->SetItems({"&Men", "&Women"});
    AssignAccelerators(&window);
    EXPECT_EQ(gender->Items(), (std::vector<std::string>{"&Men", "&Women"}));
    gender->SetItems({"Men", "Women"}); // as a translation without "&" leaves them
    AssignAccelerators(&window);
    EXPECT_EQ(gender->Items(), (std::vector<std::string>{"&Men", "&Women"}));
}

TEST(AssignAccelerators, LetsControlsOnDifferentTabSheetsShareLetters) {
    QWidget window;
    auto* tabs = new QTabWidget(&window);
    auto* first = new QWidget;
    auto* second = new QWidget;
    tabs->addTab(first, "Layout");
    tabs->addTab(second, "Fonts");
    auto* top = new QPushButton("Print", &window);
    auto* a = new TKvrCheckBox(first);
    a->SetCaption("Portrait");
    auto* b = new TKvrCheckBox(second);
    b->SetCaption("Options");
    AssignAccelerators(&window);
    EXPECT_EQ(top->text(), "&Print");
    EXPECT_EQ(tabs->tabText(0), "&Layout");
    EXPECT_EQ(tabs->tabText(1), "&Fonts");
    EXPECT_EQ(a->Caption(), "P&ortrait");
    EXPECT_EQ(b->Caption(), "&Options"); // the first sheet's O does not count here
}

} // namespace
