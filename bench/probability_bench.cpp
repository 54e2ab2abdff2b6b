#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <ql/pricingengines/blackcalculator.hpp>
#include <ql/pricingengines/blackformula.hpp>

#include "analytics/day/stored_rows.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/gamma_exposure.h"
#include "analytics/volatility/option_chain.h"
#include "analytics/volatility/settlement_on_axis.h"
#include "analytics/volatility/smile_probability.h"
#include "common/symbols.h"
#include "long_history_data.h"

// Each figure of ours stands beside its floor: the bare QuantLib calls that the same work cannot
// do without (the prices and chances on the grid, the gammas of the zero-gamma search).

namespace {

struct DayChain {
    std::string symbol;
    analytics::OptionChain chain;
    std::int64_t days = 0;
    analytics::ContractVolatility figures;
};

// One full-size trading day of the six currencies, every contract, read as the program reads it.
const std::vector<DayChain>& SixSymbolsDay() {
    static const std::vector<DayChain> chains = [] {
        std::vector<DayChain> out;
        const auto root = std::filesystem::temp_directory_path() / "zarvex_probability_bench";
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
                entry.symbol = symbol;
                if (auto chain = analytics::ReadOptionChain(db, symbol, day, contract)) {
                    entry.chain = std::move(chain).Value();
                }
                entry.days = analytics::DaysToExpiry(entry.chain.expiration, kLastDay).value_or(0);
                entry.figures = analytics::VolatilityForDays(entry.chain, entry.days);
                out.push_back(std::move(entry));
            }
        }
        return out;
    }();
    return chains;
}

// The ready contract with the most smile points.
const DayChain& LargestSmile() {
    const DayChain* largest = &SixSymbolsDay().front();
    for (const DayChain& entry : SixSymbolsDay()) {
        if (entry.figures.smile.size() > largest->figures.smile.size()) {
            largest = &entry;
        }
    }
    return *largest;
}

void BM_Density_OneContract(benchmark::State& state) {
    const DayChain& entry = LargestSmile();
    for (auto _ : state) {
        const analytics::SettlementDensity density =
            analytics::DensityOf(analytics::SmileProbability(entry.figures));
        benchmark::DoNotOptimize(density.quantiles);
    }
    state.counters["smile points"] = static_cast<double>(entry.figures.smile.size());
}
BENCHMARK(BM_Density_OneContract)->Unit(benchmark::kMicrosecond);

// 401 Black-76 prices, chances and vegas: what the density and its quantiles are made of.
void BM_Density_OneContract_Floor(benchmark::State& state) {
    const analytics::ContractVolatility& f = LargestSmile().figures;
    const double low = f.smile.front().strike;
    const double step = (f.smile.back().strike - low) / 400.0;
    const double std_dev = *f.atm_vol * std::sqrt(f.years);
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i <= 400; ++i) {
            const double strike = low + step * i;
            sum += QuantLib::blackFormula(QuantLib::Option::Call, strike, f.forward, std_dev,
                                          f.discount);
            const QuantLib::BlackCalculator calculator(QuantLib::Option::Call, strike, f.forward,
                                                       std_dev, 1.0);
            sum += calculator.itmCashProbability() + calculator.vega(1.0);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Density_OneContract_Floor)->Unit(benchmark::kMicrosecond);

std::vector<const DayChain*> SymbolDay(std::string_view symbol) {
    std::vector<const DayChain*> out;
    for (const DayChain& entry : SixSymbolsDay()) {
        if (entry.symbol == symbol) {
            out.push_back(&entry);
        }
    }
    return out;
}

const DayChain& LargestSmileOf(std::string_view symbol) {
    const DayChain* largest = &LargestSmile();
    for (const DayChain* entry : SymbolDay(symbol)) {
        if (largest->symbol != symbol ||
            entry->figures.smile.size() > largest->figures.smile.size()) {
            largest = entry;
        }
    }
    return *largest;
}

// What the histograms' worker computes for a shown day: the smile's chances and the density on
// the Forex axis of JPY (each inner strike turned over and written as the panel writes prices).
void BM_DensityOnForexAxis_OneContract(benchmark::State& state) {
    const DayChain& entry = LargestSmileOf("JPY");
    for (auto _ : state) {
        const analytics::SettlementOnAxis shown = analytics::ComputeSettlementOnAxis(
            entry.figures, {"JPY", 0.0, common::PriceType::kForex});
        benchmark::DoNotOptimize(shown.density.data());
    }
    state.counters["smile points"] = static_cast<double>(entry.figures.smile.size());
}
BENCHMARK(BM_DensityOnForexAxis_OneContract)->Unit(benchmark::kMicrosecond);

// The same contract's density on its strikes, as `vol --density` writes it.
void BM_DensityOnForexAxis_OneContract_Floor(benchmark::State& state) {
    const DayChain& entry = LargestSmileOf("JPY");
    for (auto _ : state) {
        const analytics::SettlementDensity density =
            analytics::DensityOf(analytics::SmileProbability(entry.figures));
        benchmark::DoNotOptimize(density.density.data());
    }
}
BENCHMARK(BM_DensityOnForexAxis_OneContract_Floor)->Unit(benchmark::kMicrosecond);

// exposure --all of one symbol and day: every contract's figures, the sums by strike and the
// zero-gamma search.
void BM_Exposure_AllContracts(benchmark::State& state) {
    const auto contracts = SymbolDay("EUR");
    for (auto _ : state) {
        std::vector<analytics::ContractVolatility> figures;
        figures.reserve(contracts.size());
        std::vector<analytics::ExposureContract> inputs;
        for (const DayChain* entry : contracts) {
            figures.push_back(analytics::VolatilityForDays(entry->chain, entry->days));
            inputs.push_back({&entry->chain, &figures.back()});
        }
        const analytics::GammaExposure exposure =
            analytics::ExposureOf(inputs, 125000.0, analytics::GammaSign::kDealerLongCalls);
        benchmark::DoNotOptimize(exposure.zero_gamma);
    }
    state.counters["contracts"] = static_cast<double>(contracts.size());
}
BENCHMARK(BM_Exposure_AllContracts)->Unit(benchmark::kMillisecond);

// The exposure alone, from figures already found.
void BM_Exposure_AllContracts_FromFigures(benchmark::State& state) {
    std::vector<analytics::ExposureContract> inputs;
    std::size_t rows = 0;
    for (const DayChain* entry : SymbolDay("EUR")) {
        inputs.push_back({&entry->chain, &entry->figures});
        for (const auto& point : entry->figures.points) {
            rows += (point.call.vol && point.quote.call.oi > 0 ? 1 : 0) +
                    (point.put.vol && point.quote.put.oi > 0 ? 1 : 0);
        }
    }
    for (auto _ : state) {
        const analytics::GammaExposure exposure =
            analytics::ExposureOf(inputs, 125000.0, analytics::GammaSign::kDealerLongCalls);
        benchmark::DoNotOptimize(exposure.zero_gamma);
    }
    state.counters["rows with OI"] = static_cast<double>(rows);
}
BENCHMARK(BM_Exposure_AllContracts_FromFigures)->Unit(benchmark::kMillisecond);

// 201 QuantLib gammas of every row with open interest: the search's own work.
void BM_Exposure_AllContracts_Floor(benchmark::State& state) {
    struct Held {
        double forward, strike, std_dev, discount;
    };
    std::vector<Held> held;
    for (const DayChain* entry : SymbolDay("EUR")) {
        const auto& f = entry->figures;
        for (const auto& point : f.points) {
            for (const bool call : {true, false}) {
                const auto& side = call ? point.call : point.put;
                if (side.vol && (call ? point.quote.call : point.quote.put).oi > 0) {
                    held.push_back({f.forward, point.quote.strike, *side.vol * std::sqrt(f.years),
                                    f.discount});
                }
            }
        }
    }
    for (auto _ : state) {
        double sum = 0.0;
        for (int j = 0; j <= 200; ++j) {
            const double factor = 0.9 + 0.2 * j / 200.0;
            for (const Held& h : held) {
                sum += QuantLib::BlackCalculator(QuantLib::Option::Call, h.strike,
                                                 h.forward * factor, h.std_dev, h.discount)
                           .gammaForward();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Exposure_AllContracts_Floor)->Unit(benchmark::kMillisecond);

// The six prices indicators gives chances for, around each symbol's nearest ready contract.
std::vector<std::pair<const DayChain*, std::vector<double>>> IndicatorPrices() {
    std::vector<std::pair<const DayChain*, std::vector<double>>> out;
    for (const std::string_view symbol : common::kSymbols) {
        const DayChain* nearest = nullptr;
        for (const DayChain* entry : SymbolDay(symbol)) {
            if (entry->figures.atm_vol &&
                (nearest == nullptr || entry->figures.days < nearest->figures.days)) {
                nearest = entry;
            }
        }
        if (nearest != nullptr) {
            std::vector<double> prices;
            for (const double band : nearest->figures.bands) {
                prices.push_back(band);
            }
            prices.push_back(nearest->figures.forward * 1.01);
            prices.push_back(nearest->figures.forward * 0.99);
            out.emplace_back(nearest, prices);
        }
    }
    return out;
}

// indicators' probabilities of the six symbols as they were: the figures, then N(d2) at six
// prices along the piecewise-linear smile.
void BM_IndicatorsChances_Before(benchmark::State& state) {
    const auto prices = IndicatorPrices();
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& [entry, xs] : prices) {
            const auto figures = analytics::VolatilityForDays(entry->chain, entry->days);
            for (const double x : xs) {
                sum += analytics::ProbabilityAbove(figures, x).value_or(0.0);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_IndicatorsChances_Before)->Unit(benchmark::kMillisecond);

// The same with the smooth smile and the chance of touching beside each.
void BM_IndicatorsChances_After(benchmark::State& state) {
    const auto prices = IndicatorPrices();
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& [entry, xs] : prices) {
            const auto figures = analytics::VolatilityForDays(entry->chain, entry->days);
            const analytics::SmileProbability probability(figures);
            for (const double x : xs) {
                sum += probability.Above(x).value_or(0.0) + probability.Touch(x).value_or(0.0);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_IndicatorsChances_After)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
