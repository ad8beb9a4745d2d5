#include "swimming/swim_style.h"
#include "texts/kvr_language.h"

#include <gtest/gtest.h>

#include <map>

using namespace marqor;

namespace {

// The product's start-up step, before any test resolves a text.
const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

struct StyleForms {
    int relayCount;
    TBSSwStroke stroke;
    int distance;
    const char* name;
    const char* distanceText50m;
    const char* distanceText25y;
    const char* displayName25m;
    const char* eventKey;
    const char* sortCode;
    int totalDistance;
    bool isRelay;
};

void PrintTo(const StyleForms& f, std::ostream* os) {
    *os << f.relayCount << " x " << f.distance << " stroke " << int(f.stroke);
}

class SwimStyleFromValues : public testing::TestWithParam<StyleForms> {};

TEST_P(SwimStyleFromValues, NamesItselfInEveryForm) {
    ASSERT_TRUE(kRegistered);
    const auto& p = GetParam();
    const auto style = NewSwimStyle(p.relayCount, p.stroke, p.distance);
    EXPECT_EQ(style->Name(), p.name);
    EXPECT_EQ(style->DistanceText(sco50m), p.distanceText50m);
    EXPECT_EQ(style->DistanceText(sco25y), p.distanceText25y);
    EXPECT_EQ(style->DisplayName(sco25m), p.displayName25m);
    EXPECT_EQ(EventKey(*style), p.eventKey);
    EXPECT_EQ(style->SortCode(0), p.sortCode);
    EXPECT_EQ(style->TotalDistance(), p.totalDistance);
    EXPECT_EQ(style->IsRelay(), p.isRelay);
}

INSTANTIATE_TEST_SUITE_P(Events, SwimStyleFromValues, testing::Values(
    StyleForms{0, strFreestyle, 50, "50 Fr", "50m", "50y", "50m Freestyle", "1_50_1",
               "X001100050000", 50, false},
    StyleForms{4, strMedley, 100, "4 x 100 Me", "4 x 100m", "4 x 100y", "4 x 100m Medley",
               "4_100_5", "X004500100000", 400, true},
    StyleForms{1, strBreaststroke, 200, "200 Br", "200m", "200y", "200m Breaststroke",
               "1_200_3", "X001300200000", 200, false},
    StyleForms{255, strFreestyle, 100, "100 Fr", "100m", "100y", "100m Freestyle", "1_100_1",
               "X255100100000", 100, false},
    StyleForms{254, strBackstroke, 25, "254 x 25 Bk", "254 x 25m", "254 x 25y",
               "254 x 25m Backstroke", "254_25_2", "X254200025000", 6350, true}));

TEST(SwimStyle, TheReservedRelayCountIsKnown) {
    EXPECT_TRUE(NewSwimStyle(255, strFreestyle, 50)->HasReservedRelayCount());
    EXPECT_FALSE(NewSwimStyle(4, strFreestyle, 50)->HasReservedRelayCount());
    EXPECT_EQ(NewSwimStyle(-3, strFly, 50)->RelayCount(), 1);
}

TEST(SwimStyle, APrefixLeadsTheSortCode) {
    EXPECT_EQ(NewSwimStyle(4, strMedley, 100)->SortCode(7), "7004500100000");
    EXPECT_EQ(NewSwimStyle(1, strFly, 1500)->SortCode(12), "12001401500000");
}

TEST(SwimStyle, StylesKnownOnlyByIdUseTheIdAndTheStoredNames) {
    const auto byId = NewSwimStyleWithId(211);
    EXPECT_EQ(byId->Stroke(), strNone);
    EXPECT_EQ(byId->Name(), "ID211");
    EXPECT_EQ(byId->DisplayName(sco50m), "");
    EXPECT_EQ(EventKey(*byId), "ID_211");
    const auto named = NewSwimStyleWithId(212, "Kick", "Kick 25m");
    EXPECT_EQ(named->Name(), "Kick");
    EXPECT_EQ(named->DisplayName(sco25m), "Kick 25m");
    EXPECT_EQ(named->StrokeName(), "");
}

TEST(SwimStyle, EqualityCountsTechniqueAndForStylesWithoutStrokeTheId) {
    const TBSSwSwimStyle plain(1, strFreestyle, 50);
    const TBSSwSwimStyle kick(1, strFreestyle, 50, 1);
    const TBSSwSwimStyle same(1, strFreestyle, 50);
    EXPECT_TRUE(plain.Equals(&same));
    EXPECT_FALSE(plain.Equals(&kick));
    EXPECT_FALSE(plain.Equals(nullptr));
    EXPECT_FALSE(NewSwimStyle(4, strFreestyle, 50)->Equals(&plain));
    // Styles with a stroke do not compare their ids.
    const TBSSwSwimStyle otherId(1, strFreestyle, 50, 0, 99);
    EXPECT_TRUE(plain.Equals(&otherId));
    const auto a = NewSwimStyleWithId(211);
    EXPECT_TRUE(a->Equals(NewSwimStyleWithId(211).get()));
    EXPECT_FALSE(a->Equals(NewSwimStyleWithId(212).get()));
}

class Columns final : public IBSSwColumnRecord {
public:
    explicit Columns(std::map<std::string, int> values) : values_(std::move(values)) {}
    std::int32_t ReadInteger(std::string_view column) const override {
        const auto it = values_.find(std::string(column));
        return it == values_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, int> values_;
};

TEST(SwimStyle, IsBuiltFromAColumnRecordWithMissingColumnsAsZero) {
    const auto relay = NewSwimStyleFromColumns(
        Columns({{"DISTANCE", 100}, {"RELAYCOUNT", 4}, {"STROKE", 5}, {"TECHNIQUE", 2}}));
    EXPECT_EQ(relay->Name(), "4 x 100 Me");
    EXPECT_EQ(relay->Technique(), 2);
    EXPECT_EQ(relay->UniqueId(), 0);
    const auto single = NewSwimStyleFromColumns(Columns({{"DISTANCE", 50}, {"STROKE", 1}}));
    EXPECT_EQ(single->RelayCount(), 1);
    EXPECT_EQ(EventKey(*single), "1_50_1");
    const auto byId = NewSwimStyleFromColumns(Columns({{"UNIQUEID", 230}}));
    EXPECT_EQ(EventKey(*byId), "ID_230");
    const auto badStroke = NewSwimStyleFromColumns(Columns({{"STROKE", 9}, {"UNIQUEID", 5}}));
    EXPECT_EQ(badStroke->Stroke(), strNone);
}

} // namespace
