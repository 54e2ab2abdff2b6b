#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "analytics/day/max_pain.h"
#include "analytics/history/compare_histogram.h"
#include "analytics/history/contract_days.h"
#include "analytics/history/contract_history.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/left_panel_model.h"
#include "analytics/reference_rebinning.h"
#include "analytics/right_panel/histogram_arrays.h"
#include "analytics/right_panel/histogram_build.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel/rebinning.h"
#include "analytics/right_panel/right_panel_model.h"
#include "common/date.h"
#include "common/plain_host.h"
#include "common/program_folder.h"
#include "common/text.h"
#include "long_history_data.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"

namespace {

using namespace zarvex;

// The widest case: every histogram over all levels, under the three price types.
const settings::Settings& AllLevelsSettings() {
    static const settings::Settings kSettings = [] {
        settings::Settings settings = BenchSettings();
        const std::int8_t types[analytics::kHistogramCount] = {0, 2, 1, 0};
        for (int i = 0; i < analytics::kHistogramCount; ++i) {
            settings.histograms[i].market_scale = 0;
            settings.histograms[i].market_type = types[i];
        }
        return settings;
    }();
    return kSettings;
}

// The right panel's input on the shown day for a contract.
analytics::AnalysisInput RightInput(const settings::Settings& settings,
                                    const std::string& contract) {
    return analytics::AnalysisInput(settings, Folder().symbol, contract,
                                    common::ParseDate(Folder().day, "%dd.%mm.%yyyy"));
}

// The left panel's conditions as the benchmarks have always used them, forward points on.
const settings::Settings& LeftSettings() {
    static const settings::Settings kSettings = [] {
        settings::Settings settings;
        settings.level_cond = "oi>1000 AND sign>=0";
        settings.fractal_main_cond = "oi>100 AND sign>0";
        settings.fractal_near_cond = "oi>10";
        settings.is_fp = 1;
        return settings;
    }();
    return kSettings;
}

// --- The right panel ---

// One rebuild of the right panel as a change of day or contract asks for it: forward point,
// both option tables, histogram 1, and histograms 2 to 4.
void RightPanelRebuild(benchmark::State& state, const analytics::AnalysisInput& input) {
    const storage::Database db = OpenQuotes();
    common::PlainHost plain;
    analytics::RightPanelModel model(db, Folder().home, plain.AsHost());
    std::size_t positions = 0;
    for (auto _ : state) {
        model.Configure(input);
        for (int n = 2; n <= analytics::kHistogramCount; ++n) {
            model.BuildHistogram(n);
        }
        positions = 0;
        for (int n = 1; n <= analytics::kHistogramCount; ++n) {
            positions += model.Histogram(n).Size();
        }
        benchmark::DoNotOptimize(positions);
    }
    state.counters["positions"] = static_cast<double>(positions);
    state.counters["table_rows"] =
        static_cast<double>(model.Tables().put.rows.size() + model.Tables().call.rows.size());
}

void BM_RightPanel_DefaultSettings(benchmark::State& state) {
    RightPanelRebuild(state, RightInput(BenchSettings(), Folder().contract));
}
BENCHMARK(BM_RightPanel_DefaultSettings)->Unit(benchmark::kMillisecond);

void BM_RightPanel_AllLevels(benchmark::State& state) {
    RightPanelRebuild(state, RightInput(AllLevelsSettings(), Folder().contract));
}
BENCHMARK(BM_RightPanel_AllLevels)->Unit(benchmark::kMillisecond);

// The re-binning alone, on the strike arrays of the largest contract over all levels: the
// direct placement against the comparison of every position with every bin.
analytics::HistogramData StrikeArrays(const settings::HistogramSettings& histogram,
                                      analytics::RightPanelDay& day) {
    const storage::Database db = OpenQuotes();
    common::PlainHost plain;
    day = analytics::ResolveRightPanelDay(Folder().home, Folder().symbol, Folder().day,
                                          Folder().contract, 1, plain.AsHost());
    return analytics::BuildStrikeArrays(
        db, day, histogram, analytics::ComputeHistogramBounds(db, day, histogram), plain.AsHost());
}

template <bool kFast>
void Rebinning(benchmark::State& state) {
    const settings::HistogramSettings histogram{"oi>500", static_cast<std::int8_t>(state.range(0)),
                                                0, 0};
    analytics::RightPanelDay day;
    const analytics::HistogramData strikes = StrikeArrays(histogram, day);
    std::size_t bins = 0;
    for (auto _ : state) {
        analytics::HistogramData data = strikes;
        if constexpr (kFast) {
            analytics::RebinOnPriceAxis(data, day, histogram);
        } else {
            analytics::reference::Rebin(data, day, histogram);
        }
        bins = data.Size();
        benchmark::DoNotOptimize(data.put.data());
    }
    state.counters["positions"] = static_cast<double>(strikes.Size());
    state.counters["bins"] = static_cast<double>(bins);
}

void BM_Rebin_Fast(benchmark::State& state) {
    Rebinning<true>(state);
}
void BM_Rebin_Straightforward(benchmark::State& state) {
    Rebinning<false>(state);
}
BENCHMARK(BM_Rebin_Fast)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebin_Straightforward)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// --- The left panel ---

class LeftPanelClock final : public common::Clock {
public:
    explicit LeftPanelClock(common::Date now) : now_(now) {}
    common::Date Now() const override { return now_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    common::Date now_;
};

// A left panel built over the 250 days with the instrument's default settings.
struct LeftPanelBench {
    LeftPanelBench() : clock(kLastDay + common::kSecondsPerDay), panel(Services()) {
        analytics::LeftPanelSetup setup;
        setup.database_file = storage::QuotePath(Folder().home, Folder().symbol);
        setup.read_only = true;
        panel.Build(analytics::AnalysisInput(LeftSettings(), Folder().symbol), setup);
    }
    analytics::LeftPanelServices Services() {
        analytics::LeftPanelServices services;
        services.host = plain.AsHost();
        services.folder = Folder().home;
        services.clock = &clock;
        return services;
    }
    // Another contract of the day, to switch away from the largest one.
    std::string OtherContract() const {
        for (const std::string& contract : panel.Contracts()) {
            if (contract != Folder().contract) {
                return contract;
            }
        }
        return Folder().contract;
    }

    common::PlainHost plain;
    LeftPanelClock clock;
    analytics::LeftPanelModel panel;
};

// The day's contract with the most rows over all stored days: every query that filters on
// day and contract reads its whole history through the contract index.

// A switch to the largest contract (argument 0: the most rows on the day; 1: the most rows
// over all days): clear, basic indicators, borders, ratios, levels, the fractals and the
// tables, as the user waits for them after a click.
void BM_LeftPanel_ContractSwitchWithFractals(benchmark::State& state) {
    LeftPanelBench bench;
    const std::string target = state.range(0) == 0 ? Folder().contract : LongestContract();
    std::string other = bench.OtherContract();
    if (other == target) {
        other = Folder().contract;
    }
    for (auto _ : state) {
        state.PauseTiming();
        bench.panel.ContractChanged(other);
        state.ResumeTiming();
        bench.panel.ContractChanged(target);
        benchmark::DoNotOptimize(bench.panel.Cells().level_call.data());
    }
    state.SetLabel(target);
    const analytics::DayContext& day = bench.panel.Context();
    state.counters["levels"] = static_cast<double>(day.call_levels.size() + day.put_levels.size());
    state.counters["fractals"] =
        static_cast<double>(day.call_fractals.size() + day.put_fractals.size());
}
BENCHMARK(BM_LeftPanel_ContractSwitchWithFractals)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each calculation alone on the largest contract, to see where the time goes.
void BM_LeftPanel_Step(benchmark::State& state) {
    LeftPanelBench bench;
    bench.panel.ContractChanged(LongestContract());
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                bench.panel.ComputeBasicIndicators();
                break;
            case 1:
                bench.panel.ComputeMarketBorders();
                break;
            case 2:
                bench.panel.ComputePutCallRatios();
                break;
            case 3:
                bench.panel.ComputeSignificantLevels();
                break;
            default:
                bench.panel.ComputeSignificantFractals();
                break;
        }
    }
    static const char* const kNames[] = {"basic", "borders", "ratios", "levels", "fractals"};
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_LeftPanel_Step)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Both panels on the contract with the longest history, as one click on it: the left panel's
// sequence with the fractals, then the right panel's tables and four histograms.
void BM_LeftPanel_BothPanelsLongestContract(benchmark::State& state) {
    LeftPanelBench bench;
    const std::string target = LongestContract();
    const std::string other =
        bench.OtherContract() == target ? Folder().contract : bench.OtherContract();
    const storage::Database db = OpenQuotes();
    analytics::RightPanelModel right(db, Folder().home, bench.plain.AsHost());
    for (auto _ : state) {
        state.PauseTiming();
        bench.panel.ContractChanged(other);
        state.ResumeTiming();
        bench.panel.ContractChanged(target);
        right.Configure(RightInput(BenchSettings(), bench.panel.Contract()));
        for (int n = 2; n <= analytics::kHistogramCount; ++n) {
            right.BuildHistogram(n);
        }
        benchmark::DoNotOptimize(right.Histogram(4).Size());
    }
    state.SetLabel(target);
}
BENCHMARK(BM_LeftPanel_BothPanelsLongestContract)->Unit(benchmark::kMillisecond);

// A new day for the panel: the day test, the contracts list and the whole sequence.
void BM_LeftPanel_DateSwitch(benchmark::State& state) {
    LeftPanelBench bench;
    const common::Date day = kLastDay;
    const common::Date before = LastTradingDays(2).front();
    for (auto _ : state) {
        state.PauseTiming();
        bench.panel.DateChanged(before);
        state.ResumeTiming();
        bench.panel.DateChanged(day);
        benchmark::DoNotOptimize(bench.panel.Cells().call_level.data());
    }
}
BENCHMARK(BM_LeftPanel_DateSwitch)->Unit(benchmark::kMillisecond);

// --- Both panels: one switch of contract as the user clicks it ---

class FixedClock final : public common::Clock {
public:
    explicit FixedClock(common::Date now) : now_(now) {}
    common::Date Now() const override { return now_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    common::Date now_;
};

// The left panel's whole sequence with the fractals, then the right panel's rebuild with its
// four histograms. Two contracts take turns so that every round is a real change.
void BM_ContractSwitch_BothPanels(benchmark::State& state) {
    const FixedClock clock(kLastDay + common::kSecondsPerDay);
    common::PlainHost plain;
    analytics::LeftPanelServices services;
    services.host = plain.AsHost();
    services.folder = Folder().home;
    services.clock = &clock;
    analytics::LeftPanelModel left(services);
    analytics::LeftPanelSetup setup;
    setup.database_file = storage::QuotePath(Folder().home, Folder().symbol);
    setup.read_only = true;
    left.Build(analytics::AnalysisInput(LeftSettings(), Folder().symbol), setup);

    const storage::Database db = OpenQuotes();
    analytics::RightPanelModel right(db, Folder().home, plain.AsHost());
    std::vector<std::string> contracts{Folder().contract};
    for (const std::string& contract : left.Contracts()) {
        if (contract != Folder().contract) {
            contracts.push_back(contract);
            break;
        }
    }
    std::size_t turn = 0;
    for (auto _ : state) {
        // The other contract, untimed, so the timed switch lands on the largest one.
        state.PauseTiming();
        left.ContractChanged(contracts[(turn + 1) % contracts.size()]);
        state.ResumeTiming();
        left.ContractChanged(Folder().contract);
        right.Configure(RightInput(BenchSettings(), left.Contract()));
        for (int n = 2; n <= analytics::kHistogramCount; ++n) {
            right.BuildHistogram(n);
        }
        benchmark::DoNotOptimize(right.Histogram(4).Size());
        ++turn;
    }
}
BENCHMARK(BM_ContractSwitch_BothPanels)->Unit(benchmark::kMillisecond);

// --- Across days: the history of a contract, max pain, a compared histogram ---

analytics::HistoryRequest LongestHistory() {
    return {analytics::AnalysisInput(BenchSettings(), Folder().symbol, LongestContract())};
}

// The longest-traded contract's whole history from one read of its rows.
void BM_History_WholeContract(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    const analytics::HistoryRequest request = LongestHistory();
    common::PlainHost plain;
    std::size_t days = 0;
    for (auto _ : state) {
        const auto history =
            analytics::LoadContractHistory(db, Folder().home, request, plain.AsHost());
        days = history->days.size();
        benchmark::DoNotOptimize(history->days.data());
    }
    state.SetLabel(request.input.contract);
    state.counters["days"] = static_cast<double>(days);
}
BENCHMARK(BM_History_WholeContract)->Unit(benchmark::kMillisecond);

// The same rows the way `indicators` gets them: the left panel once per day. Every day reads
// the contract's whole history again for its levels.
void BM_History_PerDayPanelLoop(benchmark::State& state) {
    LeftPanelBench bench;
    const std::string contract = LongestContract();
    const storage::Database db = OpenQuotes();
    const std::vector<common::Date> days = analytics::ContractDays(db, contract);
    for (auto _ : state) {
        for (const common::Date day : days) {
            bench.panel.DateChanged(day);
            bench.panel.ContractChanged(contract);
            benchmark::DoNotOptimize(bench.panel.Cells().call_level.data());
        }
    }
    state.SetLabel(contract);
    state.counters["days"] = static_cast<double>(days.size());
}
BENCHMARK(BM_History_PerDayPanelLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

// Max pain of the last day of the longest-traded contract: from the day's rows in memory (as
// the panel holds them), and the calculation alone.
void BM_MaxPain_OneDay(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    const std::string contract = LongestContract();
    analytics::DaySlice slice;
    const std::optional<analytics::DayFigures> figures =
        slice.Select(db, Folder().day, contract).Figures();
    const auto calls = figures->Interest(common::Side::kCall);
    const auto puts = figures->Interest(common::Side::kPut);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            benchmark::DoNotOptimize(
                figures->DayMaxPain(Folder().symbol, 0.0, common::PriceType::kFutures));
        } else {
            benchmark::DoNotOptimize(analytics::MaxPainMillionths(calls, puts));
        }
    }
    state.SetLabel(state.range(0) == 0 ? "from the day's rows" : "calculation alone");
    state.counters["options"] = static_cast<double>(calls.size() + puts.size());
}
BENCHMARK(BM_MaxPain_OneDay)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Histogram 1 over all levels of the last day of the longest-traded contract, plain and compared
// with the previous trading day of that contract (argument: the price type).
template <bool kCompared>
void Histogram(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    const std::string contract = LongestContract();
    common::PlainHost plain;
    settings::HistogramSettings histogram = AllLevelsSettings().histograms[0];
    histogram.market_type = static_cast<std::int8_t>(state.range(0));
    const analytics::RightPanelDay day = analytics::ResolveRightPanelDay(
        Folder().home, Folder().symbol, Folder().day, contract, 1, plain.AsHost());
    const common::Date previous = analytics::PreviousTradingDay(
        db, contract, common::ParseDate(Folder().day, "%dd.%mm.%yyyy"));
    const analytics::RightPanelDay other = analytics::ResolveRightPanelDay(
        Folder().home, Folder().symbol, common::DayText(previous), contract, 1, plain.AsHost());
    analytics::DaySlice shown_slice;
    analytics::DaySlice other_slice;
    std::size_t placed = 0;
    for (auto _ : state) {
        const storage::Database& rows = shown_slice.Select(db, day.date, day.contract).RowsFor("");
        const analytics::HistogramData data =
            analytics::BuildHistogram(rows, day, histogram, 1, plain.AsHost());
        if constexpr (kCompared) {
            const analytics::CompareArrays compare = analytics::CompareHistogram(
                rows, other_slice.Select(db, other.date, other.contract).RowsFor(""), day, other,
                histogram, data, plain.AsHost());
            placed = static_cast<std::size_t>(std::count_if(compare.put.begin(), compare.put.end(),
                                                            [](double v) { return v != 0.0; }));
        }
        benchmark::DoNotOptimize(data.put.data());
    }
    state.counters["compare_bars"] = static_cast<double>(placed);
}
void BM_Histogram_Plain(benchmark::State& state) {
    Histogram<false>(state);
}
void BM_Histogram_Compared(benchmark::State& state) {
    Histogram<true>(state);
}
BENCHMARK(BM_Histogram_Plain)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Histogram_Compared)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
