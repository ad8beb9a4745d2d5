// Points from a time, the time for points, and the grid of a point table printout, over the
// FINA 2011 men's long-course base times.
#include "points/formulas.h"
#include "swimming/swim_time.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace marqor;

namespace {

// The 18 columns of an individual-events printout have one event without a long-course base
// time (100 m medley); the 4 x 200 m freestyle relay, the longest relay, takes its place.
std::vector<SwimTime> PrintoutBaseTimes() {
    std::vector<SwimTime> times;
    for (const char* t : {"20.91", "46.91", "1:42.00", "3:40.07", "7:32.12", "14:34.56", "24.04",
                          "51.94", "1:51.92", "26.67", "58.58", "2:07.31", "22.43", "49.82",
                          "1:51.51", "1:54.10", "4:03.84", "6:58.55"})
        times.push_back(TextToSwimTime(t));
    return times;
}

const std::vector<SwimTime> BaseTimes = PrintoutBaseTimes();

const TBSSwPointFormula Formulas[] = {pfCubedFina, pfCubed,      pfCubedDsv, pfBritish,
                                      pfCanadian,  pfLifesaving, pfRudolph};
const char* const FormulaNames[] = {"CUBED_FINA", "CUBED",      "CUBED_DSV", "BRITISH",
                                    "CANADIAN",   "LIFESAVING", "RUDOLPH"};

// Times from a little faster than the base to half as slow again, spread over all events.
void BM_FormulaPoints(benchmark::State& state) {
    const auto formula = Formulas[state.range(0)];
    std::vector<std::pair<SwimTime, SwimTime>> cases;
    for (int i = 0; i < 4096; ++i) {
        const SwimTime base = BaseTimes[i % BaseTimes.size()];
        cases.emplace_back(
            base, base - base / 20 +
                      static_cast<SwimTime>(static_cast<long long>(base) * (i % 557) / 1000));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [base, time] = cases[i++ & 4095];
        benchmark::DoNotOptimize(FormulaPoints(formula, base, base * 13 / 10, time));
    }
    state.SetLabel(FormulaNames[state.range(0)]);
}
BENCHMARK(BM_FormulaPoints)->DenseRange(0, 6);

// Every points value 1 .. 1200 for one event per iteration; the rate is per call.
void BM_FormulaTime(benchmark::State& state) {
    const auto formula = Formulas[state.range(0)];
    const int maxPoints = formula == pfRudolph ? 200 : 1200;
    std::size_t event = 0;
    for (auto _ : state) {
        const SwimTime base = BaseTimes[event++ % BaseTimes.size()];
        for (int p = 1; p <= maxPoints; ++p)
            benchmark::DoNotOptimize(FormulaTime(formula, base, base * 13 / 10, p));
    }
    state.counters["per_call"] = benchmark::Counter(static_cast<double>(maxPoints),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    state.SetLabel(FormulaNames[state.range(0)]);
}
BENCHMARK(BM_FormulaTime)->DenseRange(0, 6);

// Single points values on the longest base times, where a walk in 1 ms steps would be longest.
void BM_CubedTimeLongEvent(benchmark::State& state) {
    const auto formula = Formulas[state.range(0)];
    const int points = static_cast<int>(state.range(1));
    const SwimTime bases[] = {TextToSwimTime("14:34.56"), TextToSwimTime("52:21.80")};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormulaTime(formula, bases[i++ & 1], 0, points));
    state.SetLabel(FormulaNames[state.range(0)]);
}
BENCHMARK(BM_CubedTimeLongEvent)->ArgsProduct({{0, 1}, {1, 10, 100, 800, 1200}});

// A printout of 1100 down to 1 points in 18 events: two time lookups per cell, for p and p + 1.
void BM_PrintoutGrid(benchmark::State& state) {
    const auto formula = Formulas[state.range(0)];
    for (auto _ : state) {
        int dashes = 0;
        for (int p = 1100; p >= 1; --p)
            for (SwimTime base : BaseTimes) {
                const SwimTime t1 = FormulaTime(formula, base, 0, p);
                const SwimTime t2 = FormulaTime(formula, base, 0, p + 1);
                dashes += t1 == t2;
            }
        benchmark::DoNotOptimize(dashes);
    }
    state.SetLabel(FormulaNames[state.range(0)]);
}
BENCHMARK(BM_PrintoutGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
