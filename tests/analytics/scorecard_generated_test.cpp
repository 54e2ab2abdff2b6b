#include <gtest/gtest.h>

#include <string>

#include "analytics/scorecard/scorecard.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "support/temp_folder.h"

namespace zarvex::analytics {
namespace {

// A year of generated days of one symbol, stored as the extraction stores them.
Scorecard ScoreAGeneratedYear(double pin, bool pin_ignores_oi) {
    test::TempFolder folder;
    const std::filesystem::path file = folder / "EUR_data.lql";
    left_testing::CreateQuoteDatabase(file);
    reportgen::GeneratorOptions options;
    options.seed = 3;
    options.pin = pin;
    options.pin_ignores_oi = pin_ignores_oi;
    const reportgen::ReportGenerator generator(options);
    for (common::Date day = common::MakeDate(2024, 12, 2); day <= common::MakeDate(2025, 12, 12);
         day += common::kSecondsPerDay) {
        if (common::IsTradingDay(day)) {
            left_testing::StoreParsedRows(file, generator.Generate(day).rows.at("EUR"));
        }
    }
    const settings::Settings settings;
    ScorecardRequest request;
    request.input = AnalysisInput(settings, "EUR");
    Scorecard card;
    const storage::Database db = storage::Database::OpenReadOnly(file);
    EXPECT_TRUE(ComputeScorecard(db, request, card).IsDone());
    return card;
}

// Where the futures are pinned to the strike the open interest gathers at, max pain foretells
// the last settlement better than the forward a few days before; where the price ends up
// wherever it likes, neither is better. The scorecard must tell the two markets apart.
TEST(ScorecardOnGeneratedData, FindsMaxPainCloserOnlyWhereTheOpenInterestPinnedThePrice) {
    const Scorecard pinned = ScoreAGeneratedYear(0.9, false);
    const MaxPainScore& near = pinned.max_pain.at(0);
    ASSERT_EQ(near.first_day, 1);
    ASSERT_GE(near.cases, 30);
    ASSERT_TRUE(near.max_pain_closer);
    EXPECT_GT(near.max_pain_closer->low, 0.5) << near.cases << " cases";

    const Scorecard free = ScoreAGeneratedYear(0.9, true);
    const MaxPainScore& control = free.max_pain.at(0);
    ASSERT_GE(control.cases, 30);
    ASSERT_TRUE(control.max_pain_closer);
    EXPECT_LE(control.max_pain_closer->low, 0.5) << control.cases << " cases";
    EXPECT_GE(control.max_pain_closer->high, 0.5) << control.cases << " cases";
}

}  // namespace
}  // namespace zarvex::analytics
