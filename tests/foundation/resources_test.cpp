#include "foundation/resources.h"

#include <gtest/gtest.h>

using namespace marqor;

TEST(Resources, BuiltInLanguageDataIsFoundWhateverTheLetterCase) {
    auto exact = FindResource("Language_Data");
    ASSERT_TRUE(exact.has_value());
    EXPECT_FALSE(exact->empty());
    auto lower = FindResource("language_data");
    ASSERT_TRUE(lower.has_value());
    EXPECT_EQ(exact->data(), lower->data());
}

TEST(Resources, UnknownNameGivesNothing) {
    EXPECT_FALSE(FindResource("BSSW_POINTS_NOWHERE").has_value());
    EXPECT_FALSE(FindResource("").has_value());
}
