#include "foundation/errors.h"
#include "foundation/maps.h"
#include "foundation/object_lists.h"
#include "foundation/variant.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

TEST(StringSet, SortsWithoutDuplicatesAndKeepsLetterCase) {
    auto set = NewStringSet();
    for (const char* s : {"b", "a", "B", "a", "Zürich", "Zurich"})
        set->Add(s);
    EXPECT_EQ(set->Items(), (std::vector<std::string>{"a", "B", "b", "Zurich", "Zürich"}));
    EXPECT_TRUE(set->Contains("B"));
    EXPECT_FALSE(set->Contains("A"));
    EXPECT_FALSE(set->Add("b"));
    set->ToUpperAll();
    EXPECT_EQ(set->AsText(), "A,B,ZURICH,ZÜRICH");
    EXPECT_EQ(NewStringSetFromText("c,,a,c")->Items(), (std::vector<std::string>{"", "a", "c"}));
}

TEST(StringList, NewOperationsBuildOnTheList) {
    auto list = NewStringListFromText("b,a,b");
    EXPECT_EQ(list->AddFormat("%d-%s", 3, "x"), 3);
    EXPECT_EQ(list->Item(3), "3-x");
    EXPECT_EQ(list->AsSet()->AsText(), "3-x,a,b");
    EXPECT_TRUE(list->IsSubsetOf({"a", "b", "3-x", "z"}));
    EXPECT_FALSE(list->ContainsAll({"a", "z"}));
}

TEST(IntegerMap, EnumeratesInAscendingKeyOrderAndReadsMissingKeysAsZero) {
    auto map = NewIntegerMap();
    for (int k : {40, -3, 7, 1000, 7})
        map->Put(k, k * 2);
    std::vector<int> keys;
    for (const auto& [k, v] : *map)
        keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<int>{-3, 7, 40, 1000}));
    EXPECT_EQ(map->Get(5), 0);
    EXPECT_EQ(map->Get(7), 14);
    EXPECT_EQ(map->KeyOfValue(80), 40);
    EXPECT_EQ(map->KeyOfValue(81), -1);
    EXPECT_EQ(map->Keys()->AsText(), "-3,7,40,1000");
    map->RemoveAll({7, 40});
    EXPECT_EQ(map->AsStringMap()->AsLines(), "-3=-6\r\n1000=2000\r\n");
}

TEST(IntegerMap, KeysTakenBeforeAChangeCanBeWalkedWhileItChanges) {
    auto map = NewIntegerMap();
    for (int k = 0; k < 100; ++k)
        map->Put(k, k);
    for (int k : map->Keys())
        if (k % 2 == 0)
            map->Remove(k);
        else
            map->Put(k + 1000, k);
    EXPECT_EQ(map->Count(), 100);
    EXPECT_FALSE(map->ContainsKey(0));
    EXPECT_EQ(map->Get(1001), 1);
}

TEST(IntegerKeyedMaps, EveryValueTypeHasItsNeutralValue) {
    EXPECT_EQ(NewIntegerDoubleMap()->Get(1), 0.0);
    EXPECT_EQ(NewIntegerStringMap()->Get(1), "");
    EXPECT_EQ(NewIntegerInterfaceMap<std::string>()->Get(1), nullptr);
    EXPECT_EQ(NewIntegerObjectMap<int>()->Get(1), nullptr);

    auto texts = NewIntegerStringMap();
    texts->Put(2, "two");
    texts->Put(1, "one");
    auto items = texts->AsLookupItems();
    EXPECT_EQ(items->KeyAt(0), 1);
    EXPECT_EQ(items->TextOfKey(2), "two");
}

TEST(IntegerInterfaceMap, SharesItsValuesAndCloneSharesThemToo) {
    auto map = NewIntegerInterfaceMap<std::string>();
    auto value = std::make_shared<std::string>("v");
    map->Put(3, value);
    auto copy = map->Clone();
    map->Remove(3);
    EXPECT_EQ(copy->Get(3), value);
    EXPECT_EQ(value.use_count(), 2);
    int plain = 5;
    auto objects = NewIntegerObjectMap<int>();
    objects->Put(9, &plain);
    EXPECT_EQ(objects->KeyOfValue(&plain), 9);
}

TEST(StringNumberMaps, NamesCompareWithoutLetterCaseAndSort) {
    auto map = NewStringIntegerMap();
    map->Put("b", 1);
    map->Put("A", 2);
    map->Put("B", 3);
    EXPECT_EQ(map->Count(), 2);
    EXPECT_EQ(map->Get("b"), 3);
    EXPECT_EQ(map->Get("missing"), 0);
    EXPECT_EQ(map->Names()->Items(), (std::vector<std::string>{"A", "b"}));
}

TEST(StringMap, NumericConversionsReadEveryLineOrRaise) {
    auto map = NewStringMapFrom({"1=10", "2=2.5", "1=11"});
    EXPECT_THROW(map->AsIntegerMap(), EConvertError);
    auto doubles = map->AsIntegerDoubleMap();
    EXPECT_EQ(doubles->Get(1), 10.0);
    EXPECT_EQ(doubles->Get(2), 2.5);
    EXPECT_EQ(map->AsStringDoubleMap()->Get("2"), 2.5);
    EXPECT_THROW(NewStringMapFrom({"x=1"})->AsIntegerMap(), EConvertError);
    EXPECT_EQ(NewStringMapFrom({"a=1", "b= 2"})->AsStringIntegerMap()->Get("B"), 2);
}

TEST(ObjectList, IsAListAndAStack) {
    auto list = NewObjectList<int>();
    EXPECT_EQ(list->Pop(), nullptr);
    EXPECT_EQ(list->Peek(), nullptr);
    auto a = std::make_shared<int>(1);
    auto b = std::make_shared<int>(2);
    list->Push(a);
    list->Push(b);
    list->Push(a);
    EXPECT_EQ(list->IndexOf(a.get()), 0);
    EXPECT_EQ(list->Peek(), a);
    EXPECT_EQ(list->Pop(), a);
    EXPECT_EQ(list->Remove(a.get()), 0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_THROW(list->Item(1), EListError);
}

TEST(NotifyEventList, RemovesTheLastMatchingEntryAndCallsInOrder) {
    auto events = NewNotifyEventList();
    std::string calls;
    int owner = 0;
    events->AddEvent({&owner, 0, [&](void*) {
                          calls += "a";
                      }});
    events->AddEvent({&owner, 1, [&](void*) {
                          calls += "b";
                      }});
    events->AddEvent({&owner, 0, [&](void*) {
                          calls += "c";
                      }});
    events->RemoveEvent(&owner, 0);
    events->CallAll(nullptr);
    EXPECT_EQ(calls, "ab");
    // A handler that removes entries while the list is called.
    events->AddEvent({nullptr, 0, [&](void*) {
                          events->RemoveEvent(&owner, 1);
                      }});
    calls.clear();
    events->CallAll(&owner);
    events->CallAll(&owner);
    EXPECT_EQ(calls, "aba");
}

TEST(Bits, GrowOnWriteAndRaiseOnReadsOutside) {
    auto bits = NewBits(4);
    bits->SetBit(1);
    bits->SetBit(9);
    EXPECT_EQ(bits->Size(), 10);
    EXPECT_EQ(bits->CountSet(), 2);
    EXPECT_EQ(bits->OpenBit(), 0);
    EXPECT_EQ(bits->AsSet()->AsText(), "1,9");
    EXPECT_THROW(bits->Bit(10), EListError);
    EXPECT_THROW(bits->SetBit(-1), EListError);
}

struct SerialCase {
    const char* serial;
    TBSVariantKind kind;
    std::string_view text;
};

void PrintTo(const SerialCase& c, std::ostream* os) {
    *os << c.serial;
}

class VariantSerial : public testing::TestWithParam<SerialCase> {};

TEST_P(VariantSerial, ReadsKindAndText) {
    auto v = NewVariant(GetParam().serial);
    EXPECT_EQ(v->Kind(), GetParam().kind);
    EXPECT_EQ(v->Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantSerial,
    testing::Values(SerialCase{"I;12", vkInteger, "12"}, SerialCase{"S;a;b", vkString, "a;b"},
                    SerialCase{"", vkEmpty, ""}, SerialCase{" ;", vkEmpty, ""},
                    SerialCase{"Q;x", vkUndefined, "x"}, SerialCase{"I", vkInteger, ""},
                    SerialCase{"M;a\xC2\x81nb\xC2\x81"
                               "0c",
                               vkMemo, std::string_view("a\nb\0c", 5)},
                    SerialCase{"M;x#CRLF#y#LF#z", vkMemo, "x\r\ny\nz"},
                    SerialCase{"M;\xC2\x81\xC2\x81\xC2\x81q", vkMemo, "\xC2\x81q"}));

TEST(Variant, ValuesTakeTheirFixedTextForms) {
    auto v = NewVariant();
    v->SetInteger(12);
    EXPECT_EQ(v->SerialText(), "I;12");
    v->SetBoolean(false);
    EXPECT_EQ(v->SerialText(), "B;False");
    EXPECT_FALSE(v->AsBoolean(true));
    v->SetFloat(0.1);
    EXPECT_EQ(v->SerialText(), "F;0.1");
    v->SetDateTime(*TryEncodeDate(2024, 2, 29) + *TryEncodeTime(13, 5, 9, 7));
    EXPECT_EQ(v->SerialText(), "D;20240229130509007");
    EXPECT_DOUBLE_EQ(v->AsDateTime(), *TryEncodeDate(2024, 2, 29) + *TryEncodeTime(13, 5, 9, 7));
    v->Set(vkInteger, "");
    EXPECT_TRUE(v->IsEmpty());
    EXPECT_EQ(v->Kind(), vkInteger);
}

TEST(Variant, MemoSerialFormRoundTripsEveryControlCharacter) {
    const std::string text("a\r\nb\tc\bd\0e\xC2\x81"
                           "f",
                           12);
    auto v = NewVariant();
    v->SetMemo(text);
    EXPECT_EQ(v->SerialText().find_first_of(std::string("\r\n\t\b\0", 5)), std::string::npos);
    EXPECT_EQ(NewVariant(v->SerialText())->Text(), text);
}

TEST(Variant, BytesAreTheUtf16TextTheyDecodeTo) {
    auto v = NewVariant();
    v->SetBytes(std::string("A\0\xE4\0", 4));
    EXPECT_EQ(v->Text(), "Aä");
    EXPECT_EQ(v->AsBytes(), std::string("A\0\xE4\0", 4));
}

} // namespace
