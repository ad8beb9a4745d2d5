// Reading point tables, building the catalogue, and the table operations that the calculator and
// the printout call: points from a time, the time for points, and the printout grid.
#include "foundation/resources.h"
#include "foundation/text.h"
#include "points/catalogue.h"
#include "points/point_table.h"
#include "swimming/sw_language.h"
#include "swimming/swim_style.h"
#include "swimming/swim_time.h"
#include "texts/kvr_language.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace marqor;

namespace {

const bool Registered = (RegisterLanguageClass<TLanguageKavrin>(), true);

std::string Resource(std::string_view name) {
    return std::string(FindResource(name).value_or(""));
}

std::string WithFormula(std::string text, std::string_view formula) {
    const auto at = text.find("Formula=CUBED_FINA");
    text.replace(at, 18, "Formula=" + std::string(formula));
    return text;
}

std::string Fina2011With(std::string_view formula) {
    return WithFormula(Resource("BSSW_POINTS_FINA_2011"), formula);
}

// A table as large as the largest built-in one (IPC 2009): 915 rows in 32 groups (two courses,
// two genders, eight classes), times written 01.04.57 and rows ending with ";".
std::string LargestTableText() {
    std::string text = "Formula=CUBED\nId=9012\nName=Large\nOptions=HANDICAP\nVersion=2009\n"
                       "<BASETIMES>\nCOURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;HANDICAP;MINTIME\n";
    const char* const strokes[] = {"FREE", "BACK", "BREAST", "FLY", "MEDLEY"};
    const int distances[] = {50, 100, 200, 400, 800, 1500};
    int rows = 0;
    for (int group = 0; group < 32 && rows < 915; ++group) {
        const char* course = group % 2 ? "SCM" : "LCM";
        const char* gender = (group / 2) % 2 ? "F" : "M";
        const int handicap = group / 4 + 1;
        const int perGroup = (915 - rows) / (32 - group);
        for (int e = 0; e < perGroup; ++e, ++rows) {
            const int distance = distances[e % 6];
            const int relays = e >= 24 ? 4 : 1;
            const int ms = distance * 600 + handicap * 1370 + e * 10;
            text +=
                Format("%s;%s;%d;%d;%s;S%d;%.2d.%.2d.%.2d;\n", course, gender, relays, distance,
                       strokes[(e / 6) % 5], handicap, ms / 60000, ms / 1000 % 60, ms / 10 % 100);
        }
    }
    return text;
}

// The 18 individual events of the point table printout.
std::vector<IBSSwSwimStylePtr> PrintoutEvents() {
    std::vector<IBSSwSwimStylePtr> events;
    for (int d : {50, 100, 200, 400, 800, 1500})
        events.push_back(NewSwimStyle(1, strFreestyle, d));
    for (TBSSwStroke s : {strBackstroke, strBreaststroke, strFly})
        for (int d : {50, 100, 200})
            events.push_back(NewSwimStyle(1, s, d));
    for (int d : {100, 200, 400})
        events.push_back(NewSwimStyle(1, strMedley, d));
    return events;
}

void BM_ReadFina2011(benchmark::State& state) {
    const std::string text = Resource("BSSW_POINTS_FINA_2011");
    for (auto _ : state)
        benchmark::DoNotOptimize(NewPointTableFromText(text, "FINA 2011"));
}
BENCHMARK(BM_ReadFina2011)->Unit(benchmark::kMicrosecond);

void BM_ReadLargestTable(benchmark::State& state) {
    const std::string text = LargestTableText();
    const auto table = NewPointTableFromText(text, "largest");
    if (table->Groups().size() != 32)
        state.SkipWithError("the test table must have 32 groups");
    for (auto _ : state)
        benchmark::DoNotOptimize(NewPointTableFromText(text, "largest"));
    state.SetLabel(std::to_string(table->Groups().size()) + " groups");
}
BENCHMARK(BM_ReadLargestTable)->Unit(benchmark::kMicrosecond);

// The 19 built-in texts, then also the bundled table files read from disk.
void BM_BuildInfoList(benchmark::State& state) {
    TPointTableSources sources = state.range(0) ? DefaultPointTableSources() : TPointTableSources{};
    sources.resourceNames = BuiltInPointTableNames();
    std::size_t count = 0;
    for (auto _ : state) {
        TBSSwPointTableController catalogue(sources, [](const std::string&) {});
        count = catalogue.Infos().size();
        benchmark::DoNotOptimize(count);
    }
    state.SetLabel(std::to_string(count) + " tables");
}
BENCHMARK(BM_BuildInfoList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_GetPointTable(benchmark::State& state) {
    TBSSwPointTableController catalogue(TPointTableSources{BuiltInPointTableNames(), {}, {}});
    catalogue.Infos();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.GetPointTable(DefaultPointTableId));
}
BENCHMARK(BM_GetPointTable)->Unit(benchmark::kMicrosecond);

// Times from a little faster than the base to half as slow again, over the printout's events.
void BM_PointsFromTime(benchmark::State& state) {
    const auto table = NewPointTableFromText(Resource("BSSW_POINTS_FINA_2011"), "FINA 2011");
    const auto events = PrintoutEvents();
    std::vector<std::pair<const IBSSwSwimStyle*, SwimTime>> cases;
    for (int i = 0; i < 4096; ++i) {
        const auto& e = events[i % events.size()];
        const SwimTime base = table->LookupBaseTime(sco50m, *e, sgeMen, 99, 0, btkMinimum);
        cases.emplace_back(e.get(), base - base / 20 + SwimTime(int64_t(base) * (i % 557) / 1000));
    }
    const IBSSwPoints& points = *table;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [event, time] = cases[i++ & 4095];
        benchmark::DoNotOptimize(points.PointsFromTime(sco50m, *event, sgeMen, 99, 0, time));
    }
}
BENCHMARK(BM_PointsFromTime);

const char* const FormulaWords[] = {"CUBED_FINA", "CUBED",      "CUBED_DSV", "BRITISH",
                                    "CANADIAN",   "LIFESAVING", "RUDOLPH"};

// Every points value 1 .. 1200 (RUDOLPH: 1 .. 200 tenths) for one event per iteration, over the
// FINA 2011 base times with each formula; the rate is per call.
void BM_TimeFromPoints(benchmark::State& state) {
    const std::string word = FormulaWords[state.range(0)];
    std::string text = WithFormula(Resource("BSSW_POINTS_FINA_2011"), word);
    if (word == "RUDOLPH") {
        // The printout's events with the FINA 2011 base times and maximum times of 1.3 times them.
        const auto fina = NewPointTableFromText(text, "FINA 2011");
        text = "Formula=RUDOLPH\nId=1\n<BASETIMES>\n"
               "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;MAXTIME\n";
        for (const auto& e : PrintoutEvents()) {
            const SwimTime base = fina->LookupBaseTime(sco50m, *e, sgeMen, 99, 0, btkMinimum);
            text += Format("LCM;M;1;%d;%s;%s;%s\n", e->Distance(),
                           std::string(StrokeFileCode(e->Stroke())).c_str(),
                           SwimTimeToText(base).c_str(), SwimTimeToText(base / 10 * 13).c_str());
        }
    }
    const auto table = NewPointTableFromText(text, word);
    const IBSSwPoints& points = *table;
    const auto events = PrintoutEvents();
    const int maxPoints = word == "RUDOLPH" ? 200 : 1200;
    std::size_t e = 0;
    for (auto _ : state) {
        const IBSSwSwimStyle& event = *events[e++ % events.size()];
        for (int p = 1; p <= maxPoints; ++p)
            benchmark::DoNotOptimize(points.TimeFromPoints(sco50m, event, sgeMen, 99, 0, p));
    }
    state.counters["per_call"] = benchmark::Counter(static_cast<double>(maxPoints),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    state.SetLabel(word);
}
BENCHMARK(BM_TimeFromPoints)->DenseRange(0, 6);

// Single points values on the longest events of FINA 2011 (1500 m and the 5000 m of the
// extra events), where the slowest time that still scores lies furthest from the inverse.
void BM_TimeFromPointsLongEvents(benchmark::State& state) {
    const std::string word = FormulaWords[state.range(0)];
    const auto table = NewPointTableFromText(Fina2011With(word), word);
    const IBSSwPoints& points = *table;
    const int p = static_cast<int>(state.range(1));
    const IBSSwSwimStylePtr events[] = {NewSwimStyle(1, strFreestyle, 1500),
                                        NewSwimStyle(1, strFreestyle, 5000)};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            points.TimeFromPoints(sco50m, *events[i++ & 1], sgeWomen, 99, 0, p));
    state.SetLabel(word);
}
BENCHMARK(BM_TimeFromPointsLongEvents)->ArgsProduct({{0, 1}, {1, 10, 100, 800, 1200}});

// The printout: points 1100 down to 1 in the 18 individual events, two times per cell (the
// time of p and of p + 1). FINA 2011 computes with CUBED_FINA, FINA 2004 with CUBED and has the
// long events of both courses.
void BM_PrintoutGrid(benchmark::State& state) {
    const char* name = state.range(0) ? "BSSW_POINTS_FINA_2004" : "BSSW_POINTS_FINA_2011";
    const auto table = NewPointTableFromText(Resource(name), name);
    const IBSSwPoints& points = *table;
    const auto events = PrintoutEvents();
    for (auto _ : state) {
        int same = 0;
        for (int p = 1100; p >= 1; --p)
            for (const auto& e : events) {
                const SwimTime t1 = points.TimeFromPoints(sco50m, *e, sgeMen, 99, 0, p);
                const SwimTime t2 = points.TimeFromPoints(sco50m, *e, sgeMen, 99, 0, p + 1);
                same += t1 == t2;
            }
        benchmark::DoNotOptimize(same);
    }
    state.SetLabel(state.range(0) ? "FINA 2004, CUBED" : "FINA 2011, CUBED_FINA");
}
BENCHMARK(BM_PrintoutGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A table of 10,000 groups (ages 1 .. 10000 for each gender, and the open ranges last):
// the first matching group is found without walking the groups.
void BM_LookupAmongTenThousandGroups(benchmark::State& state) {
    std::string text = "Id=1\nFormula=CUBED\n<BASETIMES>\nGENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;"
                       "MINTIME\n";
    for (int i = 1; i <= 4999; ++i)
        text += Format("M;%d;%d;50;FREE;%d.00\nF;%d;%d;50;FREE;%d.00\n", i, i, 20 + i % 30, i, i,
                       25 + i % 30);
    text += "M;-1;-1;50;FREE;30.00\nF;-1;-1;50;FREE;31.00\n";
    const auto table = NewPointTableFromText(text, "groups");
    const auto event = NewSwimStyle(1, strFreestyle, 50);
    const IBSSwPoints& points = *table;
    int age = 0;
    for (auto _ : state) {
        age = (age + 7919) % 10007;
        benchmark::DoNotOptimize(
            points.PointsFromTime(sco25m, *event, age & 1 ? sgeMen : sgeWomen, age, 0, 40000));
    }
    state.SetLabel(std::to_string(table->Groups().size()) + " groups");
}
BENCHMARK(BM_LookupAmongTenThousandGroups);

} // namespace
