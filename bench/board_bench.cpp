#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analytics/board/alert_check.h"
#include "analytics/board/alert_rules.h"
#include "analytics/board/board.h"
#include "analytics/board/oi_map.h"
#include "analytics/day/stored_rows.h"
#include "analytics/history/contract_history.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "long_history_data.h"

namespace {

using namespace zarvex;

// Futures prices with forward points, as every symbol's panel computes them here.
const settings::Settings& Settings() {
    static const settings::Settings kSettings = [] {
        settings::Settings settings;
        settings.is_fp = 1;
        return settings;
    }();
    return kSettings;
}

// The six quote databases of the 250 days, opened as the command line opens them.
struct SixSymbols {
    std::vector<storage::Database> databases;
    std::vector<analytics::BoardSource> sources;

    SixSymbols() {
        databases.reserve(common::kSymbols.size());
        for (const std::string_view symbol : common::kSymbols) {
            const auto path = storage::QuotePath(SixSymbolHome(), std::string(symbol));
            databases.push_back(storage::Database::OpenReadOnlyForScan(path));
            sources.push_back({analytics::AnalysisInput(Settings(), std::string(symbol)), path});
        }
    }
};

analytics::Board LastBoard(const SixSymbols& six) {
    common::PlainHost plain;
    return analytics::BuildBoard(six.sources, common::kInvalidDate, kLastDay, {}, SixSymbolHome(),
                                 plain.AsHost());
}

// The evening board of the six symbols: one scan of each file, then the two days compared.
void BM_Board_SixSymbols(benchmark::State& state) {
    const SixSymbols six;
    std::size_t contracts = 0;
    for (auto _ : state) {
        const analytics::Board board = LastBoard(six);
        contracts = 0;
        for (const analytics::SymbolBoard& symbol : board.symbols) {
            contracts += symbol.contracts.size();
        }
        benchmark::DoNotOptimize(board.symbols.data());
    }
    state.counters["contracts"] = static_cast<double>(contracts);
}
BENCHMARK(BM_Board_SixSymbols)->Unit(benchmark::kMillisecond);

// The same figures by the way there was before: every contract of the day read on its own,
// its two days computed from that read.
void BM_Board_PerContractLoop(benchmark::State& state) {
    const SixSymbols six;
    const analytics::Board board = LastBoard(six);
    common::PlainHost plain;
    for (auto _ : state) {
        for (std::size_t i = 0; i < six.sources.size(); ++i) {
            const analytics::SymbolBoard& symbol = board.symbols[i];
            for (const analytics::BoardContract& contract : symbol.contracts) {
                const analytics::HistoryRequest request{
                    analytics::AnalysisInput(Settings(), symbol.symbol, contract.contract),
                    symbol.previous, symbol.date};
                const auto history = analytics::LoadContractHistory(
                    six.databases[i], SixSymbolHome(), request, plain.AsHost());
                benchmark::DoNotOptimize(history->days.data());
            }
        }
    }
}
BENCHMARK(BM_Board_PerContractLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

// One symbol's map of the change since the previous day, from its scan.
void BM_OiMap_OneSymbol(benchmark::State& state) {
    const SixSymbols six;
    std::size_t strikes = 0;
    for (auto _ : state) {
        analytics::SymbolRows rows;
        rows.Scan(six.databases[0]);
        const auto map =
            analytics::BuildOiMap(rows, six.databases[0], "EUR", rows.LatestUpTo(kLastDay),
                                  static_cast<int>(state.range(0)));
        strikes = map->strikes.size();
        benchmark::DoNotOptimize(map->cells.data());
    }
    state.counters["strikes"] = static_cast<double>(strikes);
}
BENCHMARK(BM_OiMap_OneSymbol)->Arg(0)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The map's rows read contract by contract, as a history reads them.
void BM_OiMap_PerContractLoop(benchmark::State& state) {
    const SixSymbols six;
    const analytics::Board board = LastBoard(six);
    for (auto _ : state) {
        for (const analytics::BoardContract& contract : board.symbols[0].contracts) {
            analytics::ContractRows rows;
            analytics::ReadContractRows(six.databases[0], contract.contract, rows);
            benchmark::DoNotOptimize(rows.rows.data());
        }
    }
}
BENCHMARK(BM_OiMap_PerContractLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

// A hundred rules over the six symbols' front and further contracts, read and checked on a
// board already made.
std::string HundredRules(const analytics::Board& board) {
    static constexpr const char* kTests[] = {"above 1", "below 1.3", "crosses 1.25", "moves 5%",
                                             "moves 100"};
    static constexpr const char* kFigures[] = {"call_level", "put_level", "max_pain", "put_oi",
                                               "ratio_oi"};
    std::string text(analytics::AlertRulesFileHeader());
    for (int i = 0; i < 100; ++i) {
        const analytics::SymbolBoard& symbol = board.symbols[static_cast<std::size_t>(i) % 6];
        const std::string contract =
            i % 2 == 0 || symbol.contracts.empty()
                ? "front"
                : symbol.contracts[static_cast<std::size_t>(i) % symbol.contracts.size()].contract;
        text += symbol.symbol + " " + contract + " " + kFigures[i % 5] + " " + kTests[(i / 5) % 5] +
                "\n";
    }
    return text;
}

void BM_Alerts_HundredRules(benchmark::State& state) {
    const SixSymbols six;
    const analytics::Board board = LastBoard(six);
    const std::string text = HundredRules(board);
    std::size_t fired = 0;
    for (auto _ : state) {
        const analytics::AlertRules rules = analytics::ParseAlertRules(text);
        fired = analytics::EvaluateAlerts(rules.rules, board).size();
        benchmark::DoNotOptimize(fired);
    }
    state.counters["fired"] = static_cast<double>(fired);
}
BENCHMARK(BM_Alerts_HundredRules)->Unit(benchmark::kMicrosecond);

// The rules checked the way a script would without the board: a contract's two days read for
// every rule.
void BM_Alerts_PerRuleLoop(benchmark::State& state) {
    const SixSymbols six;
    const analytics::Board board = LastBoard(six);
    const analytics::AlertRules rules = analytics::ParseAlertRules(HundredRules(board));
    common::PlainHost plain;
    for (auto _ : state) {
        for (const analytics::AlertRule& rule : rules.rules) {
            const analytics::SymbolBoard* symbol = board.Find(rule.symbol);
            const analytics::BoardContract* contract =
                rule.contract == "front" ? symbol->Front() : symbol->Find(rule.contract);
            if (contract == nullptr) {
                continue;
            }
            const auto index = static_cast<std::size_t>(common::InstrumentIndex(rule.symbol));
            const analytics::HistoryRequest request{
                analytics::AnalysisInput(Settings(), rule.symbol, contract->contract),
                symbol->previous, symbol->date};
            const auto history = analytics::LoadContractHistory(
                six.databases[index], SixSymbolHome(), request, plain.AsHost());
            benchmark::DoNotOptimize(history->days.data());
        }
    }
}
BENCHMARK(BM_Alerts_PerRuleLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
