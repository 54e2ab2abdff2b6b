#include <gtest/gtest.h>

#include <string>

#include "analytics/scorecard/scorecard.h"
#include "analytics/volatility/volatility_store.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"
#include "support/temp_folder.h"

namespace zarvex::analytics {
namespace {

// A year of generated days of one symbol, stored as the extraction stores them.
// With `through_store`, the card is also made with the forwards of the volatility store.
Scorecard ScoreAGeneratedYear(double pin, bool pin_ignores_oi, bool through_store) {
    test::TempProgramFolder folder;
    const std::filesystem::path file = storage::QuotePath(folder.Folder(), "EUR");
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
    const storage::Database db = storage::Database::OpenReadOnly(file);
    const common::Result<Scorecard> card = ComputeScorecard(db, request, {});
    EXPECT_TRUE(card) << card.Reason();
    if (!card) {
        return {};
    }
    if (!through_store) {
        return *card;
    }
    // A year of generated days through the volatility store and its smiles, as the command
    // reads them: the same card to the last bit.
    const auto summaries =
        LoadVolatilityDays(folder.Folder(), "EUR", {}, nullptr, StoredSmiles::kRead);
    EXPECT_TRUE(summaries && summaries->recomputed > 0);
    if (summaries) {
        const common::Result<Scorecard> stored = ComputeScorecard(db, request, summaries->days);
        EXPECT_TRUE(stored && *stored == *card);
    }
    return *card;
}

// Where the futures are pinned to the strike the open interest gathers at, max pain foretells
// the last settlement better than the forward a few days before; where the price ends up
// wherever it likes, neither is better. The scorecard must tell the two markets apart.
TEST(ScorecardOnGeneratedData, FindsMaxPainCloserOnlyWhereTheOpenInterestPinnedThePrice) {
    const Scorecard pinned = ScoreAGeneratedYear(0.9, false, true);
    const MaxPainScore& near = pinned.max_pain.at(0);
    ASSERT_EQ(near.first_day, 1);
    ASSERT_GE(near.cases, 30);
    ASSERT_TRUE(near.max_pain_closer);
    EXPECT_GT(near.max_pain_closer->low, 0.5) << near.cases << " cases";

    const Scorecard free = ScoreAGeneratedYear(0.9, true, false);
    const MaxPainScore& control = free.max_pain.at(0);
    ASSERT_GE(control.cases, 30);
    ASSERT_TRUE(control.max_pain_closer);
    EXPECT_LE(control.max_pain_closer->low, 0.5) << control.cases << " cases";
    EXPECT_GE(control.max_pain_closer->high, 0.5) << control.cases << " cases";
}

}  // namespace
}  // namespace zarvex::analytics
