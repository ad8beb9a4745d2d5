// The calculator's events and its result line.
#include "points/events.h"
#include "points/result_line.h"
#include "table_fixtures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace marqor;
using namespace marqor::testing_tables;

namespace {

TEST(EventDefinitions, AreTheFortySixEventsWithTwentyThreeFinaEvents) {
    const auto& all = EventDefinitions();
    ASSERT_EQ(all.size(), 46u);
    EXPECT_EQ(all.front(), "1;25;FREE;F");
    EXPECT_EQ(all[1], "1;50;FREE;Y");
    EXPECT_EQ(all[26], "1;400;MEDLEY;Y");
    EXPECT_EQ(all[34], "10;100;FREE;N");
    EXPECT_EQ(all.back(), "4;100;MEDLEY;Y");
    EXPECT_EQ(std::ranges::count_if(all, [](const std::string& d) { return IsFinaEvent(d); }), 23);
}

TEST(EventDefinitions, NameTheirEventsAsTheCalculatorShowsThem) {
    std::vector<std::string> fina, shortNames;
    for (const auto& d : EventDefinitions()) {
        const auto style = MakeSwimStyle(d);
        if (IsFinaEvent(d))
            fina.push_back(EventText(*style));
        shortNames.push_back(style->Name());
    }
    EXPECT_EQ(EventText(*MakeSwimStyle(EventDefinitions().front())), "25 Freestyle");
    ASSERT_EQ(fina.size(), 23u);
    EXPECT_EQ(fina.front(), "50 Freestyle");
    EXPECT_EQ(fina[17], "400 Medley");
    EXPECT_EQ(fina[18], "4 x 50 Freestyle");
    EXPECT_EQ(fina.back(), "4 x 100 Medley");
    EXPECT_EQ(shortNames[1], "50 Fr");
    EXPECT_EQ(shortNames[21], "50 Bu");
    EXPECT_EQ(shortNames.back(), "4 x 100 Me");
}

TEST(MakeSwimStyle, ReadsRelayCountDistanceAndStroke) {
    const auto relay = MakeSwimStyle("4;100;MEDLEY;Y");
    EXPECT_EQ(relay->RelayCount(), 4);
    EXPECT_EQ(relay->Distance(), 100);
    EXPECT_EQ(relay->Stroke(), strMedley);
    EXPECT_EQ(EventKey(*relay), "4_100_5");
    const auto odd = MakeSwimStyle("x;;BREAST");
    EXPECT_EQ(odd->RelayCount(), 1);
    EXPECT_EQ(odd->Distance(), 0);
    EXPECT_EQ(odd->Stroke(), strBreaststroke);
}

TEST(ResultLine, DescribesTheCalculationInEightFields) {
    const auto fina = Read(BuiltInText("BSSW_POINTS_FINA_2011"));
    EXPECT_EQ(ResultLine(*fina, sco50m, "50 Freestyle", sgeMen, 99, 0, T("21.65"), 900),
              "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    EXPECT_EQ(ResultLine(*fina, sco25m, "4 x 50 Medley", sgeWomen, 12, 5, NoSwimTime, 0),
              "FINA 2011;25m;4 x 50 Medley;Women;12;S5;;0 Pt.");
    EXPECT_EQ(ResultLine(*fina, sco50m, "50 Freestyle", sgeMen, 99, 0, 0, -387),
              "FINA 2011;50m;50 Freestyle;Men;99;;;-387 Pt.");
    const auto rudolph =
        Read("Formula=RUDOLPH\nShortNameVersion=Rudolph Table 2010\n<BASETIMES>\n");
    EXPECT_EQ(
        ResultLine(*rudolph, scoNone, "50 Freestyle", sgeWomen, 9, HandicapAB, T("32.00"), 159),
        "Rudolph Table 2010;;50 Freestyle;Women;9;AB;32.00;15.9 Pt.");
    EXPECT_EQ(ResultPointsText(*rudolph, 0), "0.0");
}

} // namespace
