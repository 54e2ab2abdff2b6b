#include <benchmark/benchmark.h>

#include <cmath>
#include <ql/pricingengines/blackformula.hpp>

#include "analytics/day/stored_rows.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/option_chain.h"
#include "common/symbols.h"
#include "long_history_data.h"

// Each figure of ours stands beside its floor: the same number of bare QuantLib implied-volatility
// solves, which is what the figures cannot do without.

namespace {

struct DayChain {
    analytics::OptionChain chain;
    std::int64_t days = 0;
};

// One full-size trading day of the six currencies, every contract, read as the program reads it.
const std::vector<DayChain>& SixSymbolsDay() {
    static const std::vector<DayChain> chains = [] {
        std::vector<DayChain> out;
        const auto root = std::filesystem::temp_directory_path() / "zarvex_volatility_bench";
        std::filesystem::remove_all(root);
        const common::ProgramFolder home(root);
        for (const auto& sub : {home.Input(), home.Output(), home.Db()}) {
            std::filesystem::create_directories(sub);
        }
        const reportgen::ReportGenerator generator({.seed = kSeed, .full = true});
        const reportgen::GeneratedDay generated = generator.Generate(kLastDay);
        const std::string day = common::DayText(kLastDay);
        for (const auto& [symbol, rows] : generated.rows) {
            const auto path = storage::QuotePath(home, symbol);
            const storage::Database db = storage::OpenStore(path, storage::StoreKind::kQuote).db;
            db.Execute("Begin Transaction");
            storage::Statement insert = db.Prepare(
                "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
                "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            std::vector<std::string> contracts;
            for (const import::ReportRow& row : rows) {
                const std::string contract = common::TrimCopy(row.contract);
                if (std::find(contracts.begin(), contracts.end(), contract) == contracts.end()) {
                    contracts.push_back(contract);
                }
                InsertGeneratedRow(insert, row);
            }
            db.Execute("Commit");
            for (const std::string& contract : contracts) {
                DayChain entry;
                common::Result<analytics::OptionChain> chain =
                    analytics::ReadOptionChain(db, symbol, day, contract);
                if (chain) {
                    entry.chain = std::move(chain).Value();
                }
                entry.days = analytics::DaysToExpiry(entry.chain.expiration, kLastDay).value_or(0);
                out.push_back(std::move(entry));
            }
        }
        return out;
    }();
    return chains;
}

// What the figures solve: every row above its discounted intrinsic value, with F and D as found.
struct Solve {
    bool call;
    double strike;
    double forward;
    double premium;
    double discount;
};

std::vector<Solve> SolvesOf(const analytics::ContractVolatility& figures) {
    std::vector<Solve> solves;
    for (const analytics::VolatilityPoint& point : figures.points) {
        for (const bool call : {true, false}) {
            const analytics::SideVolatility& side = call ? point.call : point.put;
            if (side.reason == analytics::NoVolReason::kNone ||
                side.reason == analytics::NoVolReason::kNoFit) {
                solves.push_back({call, point.quote.strike, figures.forward,
                                  (call ? point.quote.call : point.quote.put).premium,
                                  figures.discount});
            }
        }
    }
    return solves;
}

void SolveAll(benchmark::State& state, const std::vector<Solve>& solves) {
    for (auto _ : state) {
        double sum = 0.0;
        for (const Solve& s : solves) {
            try {
                sum += QuantLib::blackFormulaImpliedStdDev(
                    s.call ? QuantLib::Option::Call : QuantLib::Option::Put, s.strike, s.forward,
                    s.premium, s.discount, 0.0, QuantLib::Null<QuantLib::Real>(), 1.0e-12, 200);
            } catch (const std::exception&) {
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["solves"] = static_cast<double>(solves.size());
}

// Implied volatility and greeks of every option row of one day across the six currencies.
void BM_Vol_SixSymbolsDay(benchmark::State& state) {
    const auto& chains = SixSymbolsDay();
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const DayChain& entry : chains) {
            const auto figures = analytics::VolatilityForDays(entry.chain, entry.days);
            rows += 2 * figures.points.size();
            benchmark::DoNotOptimize(figures.atm_vol);
        }
    }
    state.counters["contracts"] = static_cast<double>(chains.size());
    state.counters["strikes x 2"] = static_cast<double>(rows);
}
BENCHMARK(BM_Vol_SixSymbolsDay)->Unit(benchmark::kMillisecond);

void BM_Vol_SixSymbolsDay_Floor(benchmark::State& state) {
    std::vector<Solve> solves;
    for (const DayChain& entry : SixSymbolsDay()) {
        const auto more = SolvesOf(analytics::VolatilityForDays(entry.chain, entry.days));
        solves.insert(solves.end(), more.begin(), more.end());
    }
    SolveAll(state, solves);
}
BENCHMARK(BM_Vol_SixSymbolsDay_Floor)->Unit(benchmark::kMillisecond);

// The contract with the most strikes among those that have figures on the day.
const DayChain& LargestChain() {
    const DayChain* largest = nullptr;
    for (const DayChain& entry : SixSymbolsDay()) {
        const bool ready = analytics::VolatilityForDays(entry.chain, entry.days).status ==
                           analytics::VolatilityStatus::kReady;
        if (ready &&
            (largest == nullptr || entry.chain.strikes.size() > largest->chain.strikes.size())) {
            largest = &entry;
        }
    }
    return largest != nullptr ? *largest : SixSymbolsDay().front();
}

// One contract: its smile, ATM, RR25/BF25, expected move and bands, greeks of every row.
void BM_Vol_OneContract(benchmark::State& state) {
    const DayChain& entry = LargestChain();
    for (auto _ : state) {
        const auto figures = analytics::VolatilityForDays(entry.chain, entry.days);
        benchmark::DoNotOptimize(figures.rr25);
    }
    state.counters["strikes"] = static_cast<double>(entry.chain.strikes.size());
}
BENCHMARK(BM_Vol_OneContract)->Unit(benchmark::kMicrosecond);

void BM_Vol_OneContract_Floor(benchmark::State& state) {
    const DayChain& entry = LargestChain();
    SolveAll(state, SolvesOf(analytics::VolatilityForDays(entry.chain, entry.days)));
}
BENCHMARK(BM_Vol_OneContract_Floor)->Unit(benchmark::kMicrosecond);

// ATM, RR25 and BF25 on every day of the longest contract of the 250-day database, from one
// read of its rows (as the history does).
void BM_Vol_ContractHistory(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    const std::string contract = LongestContract();
    std::size_t days = 0;
    for (auto _ : state) {
        analytics::ContractRows rows;
        analytics::ReadContractRows(db, contract, rows);
        days = 0;
        for (const auto& [text, positions] : rows.days) {
            const auto figures = analytics::VolatilityOfChain(
                analytics::ChainOfDay(rows, positions, Folder().symbol),
                common::ParseDate(text, "%dd.%mm.%yyyy"));
            benchmark::DoNotOptimize(figures.bf25);
            ++days;
        }
    }
    state.SetLabel(contract);
    state.counters["days"] = static_cast<double>(days);
}
BENCHMARK(BM_Vol_ContractHistory)->Unit(benchmark::kMillisecond);

void BM_Vol_ContractHistory_Floor(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    analytics::ContractRows rows;
    analytics::ReadContractRows(db, LongestContract(), rows);
    std::vector<Solve> solves;
    for (const auto& [text, positions] : rows.days) {
        const auto more = SolvesOf(
            analytics::VolatilityOfChain(analytics::ChainOfDay(rows, positions, Folder().symbol),
                                         common::ParseDate(text, "%dd.%mm.%yyyy")));
        solves.insert(solves.end(), more.begin(), more.end());
    }
    SolveAll(state, solves);
}
BENCHMARK(BM_Vol_ContractHistory_Floor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
