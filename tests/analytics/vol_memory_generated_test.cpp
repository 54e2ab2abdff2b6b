#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analytics/volatility/realized_volatility.h"
#include "analytics/volatility/vol_history.h"
#include "analytics/volatility/volatility_store.h"
#include "common/calendar.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"

namespace zarvex::analytics::left_testing {
namespace {

constexpr double kPremium = 0.03;
constexpr int kDays = 30;

// Generated days of a volatility with a memory, stored as the extraction stores them, against
// the path the generator priced them with.
class VolMemoryGenerated : public ::testing::Test {
protected:
    VolMemoryGenerated() {
        reportgen::GeneratorOptions options;
        options.record_truth = true;
        options.volatility_memory = true;
        options.volatility_premium = kPremium;
        const reportgen::ReportGenerator generator(options);
        common::Date day = common::MakeDate(2025, 9, 1);
        for (int stored = 0; stored < kDays; day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            StoreParsedRows(h.QuoteFile(), generated.rows.at("EUR"));
            path_csv_ += reportgen::PathCsv(generated, stored == 0);
            for (const reportgen::TruthRow& row : generated.truth) {
                if (row.symbol == "EUR") {
                    truth_[{common::DayText(day), row.contract}][row.strike] = row;
                }
            }
            ++stored;
        }
    }

    PanelHarness h;
    std::string path_csv_;
    // (day, contract) -> strike -> truth
    std::map<std::pair<std::string, std::string>, std::map<double, reportgen::TruthRow>> truth_;
};

// The true smile read at the true forward, linear between the strikes around it as the
// program reads its own smile.
std::optional<double> TrueAtm(const std::map<double, reportgen::TruthRow>& strikes) {
    if (strikes.empty()) {
        return std::nullopt;
    }
    const double forward = strikes.begin()->second.forward;
    const auto above = strikes.lower_bound(forward);
    if (above == strikes.begin() || above == strikes.end()) {
        return std::nullopt;
    }
    const auto below = std::prev(above);
    const double w = (forward - below->first) / (above->first - below->first);
    return below->second.volatility + w * (above->second.volatility - below->second.volatility);
}

TEST_F(VolMemoryGenerated, RecoversCm30AndTheRealizedVolatilityOfThePath) {
    const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(days);
    ASSERT_EQ(days->days.size(), static_cast<std::size_t>(kDays));
    const std::vector<VolHistoryDay> history = VolHistory(days->days);

    // cm30 of the true ATM volatilities, through the same two contracts.
    int checked = 0;
    for (std::size_t i = 0; i < days->days.size(); ++i) {
        DaySummary truth = days->days[i];
        for (ContractSummary& c : truth.contracts) {
            const auto found = truth_.find({common::DayText(truth.date), c.contract});
            c.atm_vol = found != truth_.end() && c.atm_vol ? TrueAtm(found->second) : std::nullopt;
        }
        const auto expected = ConstantMaturityVol(TakingPart(truth.contracts), 30);
        if (!expected || !history[i].Cm30()) {
            continue;
        }
        // Half a tick of premium at the money moves the volatility by about 1e-4 here, and the
        // forward found by parity is off by a little more than that.
        EXPECT_NEAR(*history[i].Cm30(), *expected, 2e-4) << common::DayText(truth.date);
        ++checked;
    }
    EXPECT_GT(checked, kDays - 3);

    // The path as written, read back: its RV20 is the core's RV20 of those returns, exactly.
    std::istringstream lines(path_csv_);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "date,symbol,futures,atm,realized,return");
    std::vector<std::optional<double>> returns;
    std::vector<double> futures;
    while (std::getline(lines, line)) {
        const std::vector<std::string_view> cells = common::Split(line, ',');
        ASSERT_EQ(cells.size(), 6u) << line;
        if (cells[1] != "EUR") {
            continue;
        }
        const double realized = *common::ParseDouble(cells[4]);
        EXPECT_NEAR(realized,
                    std::max(0.2 * *common::ParseDouble(cells[3]),
                             *common::ParseDouble(cells[3]) - kPremium),
                    1e-15);
        futures.push_back(*common::ParseDouble(cells[2]));
        returns.push_back(futures.size() > 1 ? std::optional<double>(std::log(
                                                   futures.back() / futures[futures.size() - 2]))
                                             : std::nullopt);
    }
    ASSERT_EQ(returns.size(), static_cast<std::size_t>(kDays));
    const auto rv20 = RealizedVolatility(returns, 20);
    double sum = 0.0;
    for (std::size_t k = returns.size() - 20; k < returns.size(); ++k) {
        sum += *returns[k] * *returns[k];
    }
    EXPECT_NEAR(*rv20.back(), std::sqrt(252.0 / 20.0 * sum), 1e-12);
    // The program's futures are the parity forwards of rounded premiums: close to the path.
    ASSERT_TRUE(history.back().rv20);
    EXPECT_NEAR(*history.back().rv20, *rv20.back(), 5e-3);
    for (std::size_t k = 1; k < history.size(); ++k) {
        ASSERT_TRUE(history[k].futures) << k;
        EXPECT_NEAR(*history[k].futures, futures[k], 2e-4 * futures[k]) << k;
    }
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
