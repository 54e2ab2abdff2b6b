#include <benchmark/benchmark.h>

#include "analytics/prices.h"
#include "common/calendar.h"

namespace {

using namespace zarvex;

// The calendar recomputes the ten holidays on every call; day loops call it for each day.
void BM_IsTradingDayOverAYear(benchmark::State& state) {
    const common::Date first = common::MakeDate(2040, 1, 1);
    for (auto _ : state) {
        int trading = 0;
        for (int day = 0; day < 366; ++day) {
            trading += common::IsTradingDay(first + day * common::kSecondsPerDay) ? 1 : 0;
        }
        benchmark::DoNotOptimize(trading);
    }
}
BENCHMARK(BM_IsTradingDayOverAYear);

// Histograms convert every axis position, twice.
void BM_PriceByTypeForex(benchmark::State& state) {
    double strike = 0.8;
    for (auto _ : state) {
        benchmark::DoNotOptimize(analytics::PriceByType(strike, "JPY", common::Side::kPut, 0.0125,
                                                        -20.5, common::PriceType::kForex));
        strike += 1e-9;
    }
}
BENCHMARK(BM_PriceByTypeForex);

}  // namespace

BENCHMARK_MAIN();
