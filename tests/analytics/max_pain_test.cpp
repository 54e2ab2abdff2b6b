#include "analytics/day/max_pain.h"

#include <gtest/gtest.h>

#include <random>

#include "analytics/left_panel/day_slice.h"
#include "common/strike.h"
#include "left_panel_fixture.h"

namespace zarvex::analytics::left_testing {
namespace {

using Options = std::vector<OptionInterest>;

TEST(MaxPain, HandWorkedDays) {
    // Pain at 1.00 is 80 x 0.20 = 16, at 1.10 it is 80 x 0.10 = 8, at 1.20 it is 100 x 0.10 = 10.
    EXPECT_EQ(MaxPainMillionths({{1.10, 100}, {1.20, 50}}, {{1.20, 80}, {1.00, 200}}), 1100000);
    // Every candidate pays 0.2 (0.1 + 0.1 at 1.2, which binary fractions would not sum
    // equally): the lowest strike wins.
    EXPECT_EQ(MaxPainMillionths({{1.1, 1}}, {{1.3, 1}, {1.2, 0}}), 1100000);
    EXPECT_EQ(MaxPainMillionths({{1.3, 1}}, {{1.1, 1}}), 1100000);
    // A single strike.
    EXPECT_EQ(MaxPainMillionths({{1.25, 5}}, {}), 1250000);
    // No rows, or no strike above 0.
    EXPECT_EQ(MaxPainMillionths({}, {}), std::nullopt);
    EXPECT_EQ(MaxPainMillionths({{0.0, 5}}, {{-1.0, 3}}), std::nullopt);

    const MaxPain none = MaxPainOf({}, {}, "EUR", 0.0, common::PriceType::kStandart);
    EXPECT_EQ(none.price.Text(), "");
    EXPECT_EQ(none.strike, 0.0);
    // The text is the strike shown as the delta-balance shows it.
    const MaxPain jpy = MaxPainOf({{0.9, 10}}, {}, "JPY", -20.0, common::PriceType::kForex);
    EXPECT_EQ(jpy.strike, 0.9);
    EXPECT_EQ(jpy.price.Text(), "111.31");
}

// The definition read literally: every candidate against every option.
std::optional<std::int64_t> PlainMaxPain(const Options& calls, const Options& puts) {
    std::optional<std::int64_t> best_strike;
    __int128 best = 0;
    std::vector<std::int64_t> candidates;
    for (const Options* side : {&calls, &puts}) {
        for (const OptionInterest& o : *side) {
            if (common::StrikeKey::Of(o.strike).Millionths() > 0) {
                candidates.push_back(common::StrikeKey::Of(o.strike).Millionths());
            }
        }
    }
    for (const std::int64_t s : candidates) {
        __int128 pain = 0;
        for (const OptionInterest& c : calls) {
            pain += static_cast<__int128>(c.oi) *
                    std::max<std::int64_t>(0, s - common::StrikeKey::Of(c.strike).Millionths());
        }
        for (const OptionInterest& p : puts) {
            pain += static_cast<__int128>(p.oi) *
                    std::max<std::int64_t>(0, common::StrikeKey::Of(p.strike).Millionths() - s);
        }
        if (!best_strike || pain < best || (pain == best && s < *best_strike)) {
            best = pain;
            best_strike = s;
        }
    }
    return best_strike;
}

TEST(MaxPain, GeneratedDaysAgreeWithThePlainCalculation) {
    std::mt19937_64 random(17);
    for (int round = 0; round < 300; ++round) {
        Options calls;
        Options puts;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            // Strikes on a coarse ladder so that sides share strikes and ties happen, with now
            // and then an odd decimal, a zero strike, a zero or large open interest.
            double strike = 1.0 + static_cast<double>(random() % 20) * 0.005;
            if (random() % 7 == 0) {
                strike += 0.000001 * static_cast<double>(random() % 9);
            }
            if (random() % 25 == 0) {
                strike = 0.0;
            }
            const std::int64_t oi = random() % 5 == 0 ? 0
                                    : random() % 9 == 0
                                        ? 4000000000LL
                                        : static_cast<std::int64_t>(random() % 3000);
            (random() % 2 == 0 ? calls : puts).push_back({strike, oi});
        }
        ASSERT_EQ(MaxPainMillionths(calls, puts), PlainMaxPain(calls, puts)) << "round " << round;
    }
}

TEST(MaxPain, OnlyTheDaysNumericRowsOfTheContractCount) {
    PanelHarness h;
    h.Insert({{.option = "CALL", .strike = "1.10", .oi = "100"},
              {.option = "CALL", .strike = "1.20", .oi = "50"},
              {.option = "PUT", .strike = "1.20", .oi = "80"},
              {.option = "PUT", .strike = "1.00", .oi = "200"},
              // A blank line of an older extraction, another day and another contract.
              {.option = "PUT", .strike = "", .price = "", .oi = ""},
              {.option = "CALL", .strike = "1.30", .oi = "900000", .date = "06.12.2012"},
              {.option = "PUT", .strike = "0.90", .oi = "900000", .contract = "OTHER"}});
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    DaySlice slice;
    const std::optional<DayFigures> figures = slice.Select(db, kDay, kContract).Figures();
    ASSERT_TRUE(figures);
    const MaxPain pain = figures->DayMaxPain("EUR", 10.0, common::PriceType::kForex);
    EXPECT_EQ(pain.strike, 1.1);
    EXPECT_EQ(pain.price.Text(), "1.0990");

    // The panel's max pain of the shown day comes from the same rows.
    LeftPanelModel& panel = h.Build(2);
    const MaxPain shown = panel.ShownMaxPain();
    EXPECT_EQ(shown.strike, 1.1);
    EXPECT_EQ(shown.price, figures->DayMaxPain("EUR", 0.0, common::PriceType::kForex).price);
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
