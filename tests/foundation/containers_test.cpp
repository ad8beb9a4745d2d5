#include "foundation/containers.h"
#include "foundation/errors.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

std::vector<std::string> Items(const IBSStringList& l) {
    return l.Items();
}

TEST(StringList, CommaTextKeepsEmptyItemsAndQuotesItemsWithBlanks) {
    auto list = NewStringListFromText("a,,b");
    EXPECT_EQ(Items(*list), (std::vector<std::string>{"a", "", "b"}));
    auto quoted = NewStringList();
    quoted->Add("a b");
    quoted->Add("c");
    EXPECT_EQ(quoted->AsText(), "\"a b\",c");
    EXPECT_EQ(NewStringListFromText("")->Count(), 0);
}

TEST(StringList, JoinSkipsEmptyItems) {
    auto list = NewStringListFromText("a,,b,");
    EXPECT_EQ(list->Join(", "), "a, b");
}

TEST(StringList, LinesEndAtCrLfCrOrLf) {
    auto list = NewStringList();
    list->SetLines("one\r\ntwo\rthree\nfour\n");
    EXPECT_EQ(Items(*list), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(list->AsLines(), "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST(StringList, IndexOutsideTheListRaises) {
    auto list = NewStringListFromText("a");
    EXPECT_THROW(list->Item(1), EListError);
    EXPECT_THROW(list->Delete(-1), EListError);
    EXPECT_NO_THROW(list->Insert(1, "b"));
}

TEST(StringList, AsIntegerListRejectsTextThatIsNoNumber) {
    EXPECT_EQ(NewStringListFromText("1, 2,,3")->AsIntegerList()->AsText(), "1,2,3");
    EXPECT_THROW(NewStringListFromText("1,x")->AsIntegerList(), EConvertError);
}

TEST(StringMap, PutReplacesTheLineWhoseNameMatchesWithoutCase) {
    auto map = NewStringMap();
    map->Put("key", "1");
    map->Put("other", "2");
    map->Put("KEY", "3");
    ASSERT_EQ(map->Count(), 2);
    EXPECT_EQ(map->NameAt(0), "KEY");
    EXPECT_EQ(map->ValueAt(0), "3");
    EXPECT_EQ(map->Get("Key"), "3");
    EXPECT_EQ(map->Get("missing"), "");
    EXPECT_EQ(map->Find("missing"), nullptr);
}

TEST(StringMap, FromLinesKeepsTheFirstLineOfANameForLookups) {
    auto map = NewStringMapFrom({"a=1", "=skipped", "plain", "A=2", "b=x=y"});
    EXPECT_EQ(map->Count(), 3);
    EXPECT_EQ(map->Get("a"), "1");
    EXPECT_EQ(map->Get("b"), "x=y");
}

TEST(StringMap, RemoveKeepsLookupsOfTheLinesAfterIt) {
    auto map = NewStringMap();
    for (auto name : {"a", "b", "c"})
        map->Put(name, name);
    map->Remove("B");
    EXPECT_EQ(map->Count(), 2);
    EXPECT_EQ(map->Get("c"), "c");
    map->Put("c", "new");
    EXPECT_EQ(map->ValueAt(1), "new");
}

TEST(IntegerSet, KeepsAscendingOrderWithoutDuplicates) {
    auto set = NewIntegerSet();
    for (int v : {5, 1, 5, 3})
        set->Add(v);
    EXPECT_EQ(set->AsText(), "1,3,5");
    EXPECT_EQ(NewIntegerSet()->Max(), INT32_MIN);
    EXPECT_EQ(NewIntegerSet()->Min(), INT32_MAX);
    set->Toggle(3);
    set->Toggle(4);
    EXPECT_EQ(set->AsText(), "1,4,5");
}

TEST(IntegerList, TextFormSplitsAtCommasAndBlanks) {
    auto list = NewIntegerList();
    list->SetAsText("3, 1 ,,2");
    EXPECT_EQ(list->AsText(), "3,1,2");
    EXPECT_THROW(list->SetAsText("1,two"), EConvertError);
}

TEST(LookupItems, SetTextOfAnExistingKeyKeepsItsPosition) {
    auto items = NewLookupItems();
    items->SetText(7, "seven");
    items->SetText(1, "one");
    items->SetText(7, "SEVEN");
    ASSERT_EQ(items->Count(), 2);
    EXPECT_EQ(items->KeyAt(0), 7);
    EXPECT_EQ(items->TextAt(0), "SEVEN");
    EXPECT_EQ(items->TextOfKey(2), "");
    EXPECT_EQ(items->KeyOfText("seven"), 7);
    EXPECT_FALSE(items->ContainsText("seven"));
    EXPECT_EQ(items->Keys()->AsText(), "1,7");
}

TEST(LookupItems, RemoveAndSortKeepKeyLookupsRight) {
    auto items = NewLookupItems();
    items->SetText(3, "c");
    items->SetText(1, "B");
    items->SetText(2, "a");
    EXPECT_EQ(items->Remove(9), -1);
    EXPECT_EQ(items->Remove(3), 0);
    items->SortByText();
    EXPECT_EQ(items->KeyAt(0), 2);
    EXPECT_EQ(items->IndexOfKey(1), 1);
    items->SortByKey();
    EXPECT_EQ(items->KeyAt(0), 1);
    EXPECT_EQ(items->IndexOfKey(2), 1);
}

} // namespace
