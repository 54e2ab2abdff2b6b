#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/volatility_summary.h"
#include "common/calendar.h"
#include "common/currency_conventions.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/product.h"
#include "reportgen/report_generator.h"

namespace zarvex::analytics {
namespace {

long long Key(double strike) {
    return std::llround(strike * 1e8);
}

// Generated days stored as the extraction stores them, read back through the program's own
// reading of the quote database, against the truth the generator priced them with.
class GeneratedVolatility : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        left_testing::CreateQuoteDatabase(file_);
        reportgen::GeneratorOptions options;
        options.record_truth = true;
        const reportgen::ReportGenerator generator(options);
        int stored = 0;
        for (common::Date day = common::MakeDate(2025, 11, 24); stored < 3;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            left_testing::StoreParsedRows(file_, generated.rows.at(GetParam()));
            for (const reportgen::TruthRow& row : generated.truth) {
                if (row.symbol == GetParam()) {
                    truth_[{common::DayText(day), row.contract, row.call, Key(row.strike)}] = row;
                }
            }
            ++stored;
        }
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / (std::string(GetParam()) + "_data.lql");
    // (day, contract, call, strike in 1e-8) -> truth
    std::map<std::tuple<std::string, std::string, bool, long long>, reportgen::TruthRow> truth_;
};

TEST_P(GeneratedVolatility, RecoversForwardDiscountAndEveryVolatilityWithinTheRounding) {
    const double tick = std::pow(10.0, -reportgen::FindProduct(GetParam())->price_decimals) *
                        common::PremiumScale(GetParam());
    const storage::Database db = storage::Database::OpenReadOnly(file_);
    std::map<std::pair<std::string, std::string>, const reportgen::TruthRow*> contracts;
    for (const auto& [key, row] : truth_) {
        contracts.emplace(std::make_pair(std::get<0>(key), std::get<1>(key)), &row);
    }
    int fitted = 0;
    int checked = 0;
    for (const auto& [key, first] : contracts) {
        const auto& [date, contract] = key;
        SCOPED_TRACE(date + " " + contract);
        const auto figures = LoadContractVolatility(db, GetParam(), date, contract);
        ASSERT_TRUE(figures);
        ASSERT_EQ(figures->days, first->days);
        if (figures->status != VolatilityStatus::kReady || !figures->parity_fitted) {
            // Too close to expiry, or a chain the forward has run away from: too few strikes
            // with both premiums above zero for a fit.
            continue;
        }
        ++fitted;
        EXPECT_NEAR(figures->forward, first->forward, tick);
        EXPECT_NEAR(figures->discount, first->discount, 1e-3);
        for (const VolatilityPoint& point : figures->points) {
            for (const bool call : {true, false}) {
                const SideVolatility& side = call ? point.call : point.put;
                if (!side.vol) {
                    continue;
                }
                const auto found = truth_.find({date, contract, call, Key(point.quote.strike)});
                ASSERT_NE(found, truth_.end());
                const reportgen::TruthRow& truth = found->second;
                const auto greeks = black76::GreeksOf(
                    call ? common::Side::kCall : common::Side::kPut, truth.forward, truth.strike,
                    truth.volatility, figures->years, truth.discount);
                ASSERT_TRUE(greeks);
                // To first order a premium off by e moves the volatility by e / vega; the
                // premium is off by at most half a tick from rounding, plus what the fitted
                // forward and discount are off by through delta and P / D.
                const double premium = (call ? point.quote.call : point.quote.put).premium;
                const double error =
                    tick / 2 +
                    std::fabs(greeks->delta) * std::fabs(figures->forward - truth.forward) +
                    premium / truth.discount * std::fabs(figures->discount - truth.discount);
                const double bound = 1.5 * error / (greeks->vega * 100.0) + 1e-9;
                // Far from the money a few ticks of premium are no longer a small change: the
                // straight-line picture holds where the bound itself is small.
                if (bound > 0.005) {
                    continue;
                }
                EXPECT_NEAR(*side.vol, truth.volatility, bound)
                    << (call ? "CALL " : "PUT ") << point.quote.strike;
                ++checked;
            }
        }
    }
    EXPECT_GT(fitted, 10);
    EXPECT_GT(checked, 200);
}

// What the chances read of a chain, solved alone, is the whole figures' own to the last bit.
TEST_P(GeneratedVolatility, TheSmileAloneIsTheWholeFiguresSmile) {
    const storage::Database db = storage::Database::OpenReadOnly(file_);
    std::set<std::pair<std::string, std::string>> contracts;
    for (const auto& [key, row] : truth_) {
        contracts.emplace(std::get<0>(key), std::get<1>(key));
    }
    int smiles = 0;
    for (const auto& [date, contract] : contracts) {
        SCOPED_TRACE(date + " " + contract);
        const auto chain = ReadOptionChain(db, GetParam(), date, contract);
        ASSERT_TRUE(chain);
        const common::Date day = common::ParseDate(date, "%dd.%mm.%yyyy");
        const ContractVolatility whole = VolatilityOfChain(*chain, day);
        const ContractVolatility smile = SmileOfChain(*chain, day);
        EXPECT_EQ(smile.status, whole.status);
        EXPECT_EQ(smile.days, whole.days);
        EXPECT_EQ(smile.years, whole.years);
        EXPECT_EQ(smile.forward, whole.forward);
        EXPECT_EQ(smile.discount, whole.discount);
        EXPECT_EQ(smile.atm_vol, whole.atm_vol);
        ASSERT_EQ(smile.smile.size(), whole.smile.size());
        for (std::size_t i = 0; i < whole.smile.size(); ++i) {
            EXPECT_EQ(smile.smile[i].strike, whole.smile[i].strike);
            EXPECT_EQ(smile.smile[i].vol, whole.smile[i].vol);
        }
        smiles += whole.smile.size() > 2 ? 1 : 0;
    }
    EXPECT_GT(smiles, 10);
}

INSTANTIATE_TEST_SUITE_P(Symbols, GeneratedVolatility, ::testing::Values("EUR", "JPY", "CAD"));

}  // namespace
}  // namespace zarvex::analytics
