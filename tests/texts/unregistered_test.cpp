#include "texts/language.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

TEST(NoLanguageClass, AskingForTheLanguageObjectRaisesTheFixedMessage) {
    try {
        Language();
        FAIL() << "no exception";
    } catch (const ENoLanguageClass& e) {
        EXPECT_STREQ(e.what(), "Keine BSLanguage - Klasse definiert !");
    }
    EXPECT_THROW(LanguageText("#KAVRIN_G.61"), ENoLanguageClass);
    // Text that is no reference needs no language.
    EXPECT_EQ(LanguageText("plain", 2), "plain");
}

TEST(NoLanguageClass, AClassRegisteredLaterIsUsedFromThen) {
    EXPECT_THROW(Language(), ENoLanguageClass);
    class Empty final : public TBSLanguage {
        TBSLanguages AvailableLanguages() const override { return {LanguageEnglish}; }
        IBSStringListPtr LoadLanguageLines(TBSLanguageId) override {
            auto lines = NewStringList();
            lines->Add("[Data.X]");
            lines->Add("y=z");
            return lines;
        }
    };
    RegisterLanguageClass<Empty>();
    EXPECT_EQ(LanguageText("#X.y"), "z");
}

} // namespace
