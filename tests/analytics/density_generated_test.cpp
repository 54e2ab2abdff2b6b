#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/smile_probability.h"
#include "analytics/volatility/volatility_summary.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/market_model.h"
#include "reportgen/product.h"
#include "reportgen/report_generator.h"

namespace zarvex::analytics {
namespace {

struct StoredContract {
    common::Date day = 0;
    std::string date;
    std::string contract;
    double forward = 0.0;  // the generator's
    double discount = 1.0;
    std::int64_t days = 0;
    // The generator's own volatility at each listed strike, from the CALL rows.
    std::vector<SmilePoint> true_smile;
};

// Generated days stored as the extraction stores them, read back through the program's own
// reading, against the smile the generator priced them with.
class GeneratedDensity : public ::testing::Test {
protected:
    void Store(bool flat) {
        left_testing::CreateQuoteDatabase(file_);
        reportgen::GeneratorOptions options;
        options.record_truth = true;
        options.flat_volatility = flat;
        // Full-size days: enough strikes for a smile that spans the distribution's middle.
        options.full = true;
        const reportgen::ReportGenerator generator(options);
        int stored = 0;
        for (common::Date day = common::MakeDate(2025, 11, 24); stored < 2;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            left_testing::StoreParsedRows(file_, generated.rows.at("EUR"));
            std::map<std::string, std::size_t> seen;
            for (const reportgen::TruthRow& row : generated.truth) {
                if (row.symbol != "EUR" || !row.call) {
                    continue;
                }
                const auto [at, added] = seen.emplace(row.contract, contracts_.size());
                if (added) {
                    contracts_.push_back({day,
                                          common::DayText(day),
                                          row.contract,
                                          row.forward,
                                          row.discount,
                                          row.days,
                                          {}});
                }
                std::vector<SmilePoint>& smile = contracts_[at->second].true_smile;
                if (smile.empty() || row.strike > smile.back().strike) {
                    smile.push_back({row.strike, row.volatility});
                }
            }
            ++stored;
        }
    }

    // The figures of a contract far enough from expiry for its smile to span the middle of
    // the distribution, with a fitted forward.
    std::optional<ContractVolatility> Figures(const StoredContract& c) const {
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        auto figures = LoadContractVolatility(db, "EUR", c.date, c.contract);
        if (!figures || figures->status != VolatilityStatus::kReady || !figures->parity_fitted ||
            figures->days < 14 || figures->smile.size() < 8) {
            return std::nullopt;
        }
        return std::move(figures).Value();
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "EUR_data.lql";
    std::vector<StoredContract> contracts_;
    const reportgen::MarketModel model_{reportgen::GeneratorOptions().seed};
    const reportgen::Product& product_ = *reportgen::FindProduct("EUR");
};

// The density of the generator's own smile at its listed strikes (no rounding of premiums in
// the way) against the chance the generator's smile itself gives between the grid's ends.
TEST_F(GeneratedDensity, IntegratesToTheTrueChanceBetweenTheGridsEnds) {
    Store(false);
    int checked = 0;
    for (const StoredContract& c : contracts_) {
        if (c.days < 14 || c.true_smile.size() < 8) {
            continue;
        }
        SCOPED_TRACE(c.date + " " + c.contract);
        ContractVolatility figures;
        figures.status = VolatilityStatus::kReady;
        figures.days = c.days;
        figures.years = static_cast<double>(c.days) / 365.0;
        figures.forward = c.forward;
        figures.discount = c.discount;
        figures.smile = c.true_smile;
        const SettlementDensity density = DensityOf(SmileProbability(figures));
        ASSERT_TRUE(density.ready);
        const common::Date expiration = c.day + c.days * common::kSecondsPerDay;
        // The true chance above K: minus the slope of the true CALL price, undiscounted.
        const auto true_above = [&](double strike) {
            const auto price = [&](double k) {
                const reportgen::OptionTruth truth = model_.TruthAt(product_, expiration, c.day, k);
                return *black76::Price(common::Side::kCall, truth.forward, k,
                                       truth.volatility * std::sqrt(truth.years), truth.discount);
            };
            const double e = 1e-6 * strike;
            return -(price(strike + e) - price(strike - e)) / (2 * e) / c.discount;
        };
        // The generator holds its smile flat beyond four standard deviations: a kink, and so
        // a point of mass of its own, that no spline through the listed strikes can have.
        // Grids that reach it are left out.
        const auto vol_at = [&](double k) {
            return model_.TruthAt(product_, expiration, c.day, k).volatility;
        };
        const double low = density.grid.front();
        const double high = density.grid.back();
        if (vol_at(low) == vol_at(low * 0.9999) || vol_at(high) == vol_at(high * 1.0001)) {
            continue;
        }
        const double low_chance = true_above(low);
        const double high_chance = true_above(high);
        EXPECT_NEAR(density.mass_inside, low_chance - high_chance, 1e-3);
        ++checked;
    }
    EXPECT_GT(checked, 3);
}

TEST_F(GeneratedDensity, MedianOfAFlatSmileIsWithinOneStrikeStepOfTheForward) {
    Store(true);
    const double step =
        static_cast<double>(product_.strike_step) * std::pow(10.0, -product_.strike_decimals);
    int checked = 0;
    for (const StoredContract& c : contracts_) {
        const auto figures = Figures(c);
        if (!figures) {
            continue;
        }
        SCOPED_TRACE(c.date + " " + c.contract);
        const SettlementDensity density = DensityOf(SmileProbability(*figures));
        ASSERT_TRUE(density.ready);
        if (!density.quantiles[2]) {
            // A smile listed around an older forward that has run away from it.
            continue;
        }
        EXPECT_NEAR(*density.quantiles[2], c.forward, step);
        ++checked;
    }
    EXPECT_GT(checked, 3);
}

TEST_F(GeneratedDensity, ANegativeRiskReversalMakesTheFarDownsideLikelierThanNd2) {
    Store(false);
    int checked = 0;
    for (const StoredContract& c : contracts_) {
        const auto figures = Figures(c);
        if (!figures || !figures->rr25 || *figures->rr25 >= 0.0 || !figures->atm_vol) {
            continue;
        }
        SCOPED_TRACE(c.date + " " + c.contract);
        const SmileProbability probability(*figures);
        const double spread = *figures->atm_vol * std::sqrt(figures->years);
        const double x = figures->forward * std::exp(-1.5 * spread);
        const double nd2 = *black76::ChanceAbove(
            figures->forward, x, *probability.Smile().VolAt(x) * std::sqrt(figures->years));
        EXPECT_GT(*probability.Above(x), nd2 + 1e-3) << x;
        ++checked;
    }
    EXPECT_GT(checked, 3);
}

}  // namespace
}  // namespace zarvex::analytics
