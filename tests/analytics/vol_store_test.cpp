#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analytics/volatility/term_structure.h"
#include "analytics/volatility/volatility_store.h"
#include "common/calendar.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

using test::RunCli;

// 24 generated trading days of EUR in a program folder's quote database: enough for a rank,
// a percentile and a 20-day realized volatility on the last days.
class VolStoreTest : public ::testing::Test {
protected:
    static constexpr int kDays = 24;

    VolStoreTest() {
        common::Date day = common::MakeDate(2025, 11, 3);
        for (int stored = 0; stored < kDays; day += common::kSecondsPerDay) {
            stored += common::IsTradingDay(day) ? 1 : 0;
        }
        // Generated once for the whole suite: storing 24 days row by row takes seconds.
        static const test::TempFolder kept;
        const std::filesystem::path copy = kept / "EUR_data.lql";
        if (!std::filesystem::exists(copy)) {
            for (common::Date d = common::MakeDate(2025, 11, 3); d < day;
                 d += common::kSecondsPerDay) {
                if (common::IsTradingDay(d)) {
                    StoreParsedRows(h.QuoteFile(), generator_.Generate(d).rows.at("EUR"));
                }
            }
            std::filesystem::copy_file(h.QuoteFile(), copy);
        } else {
            std::filesystem::copy_file(copy, h.QuoteFile(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        next_day_ = day;
        while (!common::IsTradingDay(next_day_)) {
            next_day_ += common::kSecondsPerDay;
        }
    }

    test::CliOutcome Vol(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--home", h.home.Path().string(), "vol", "--symbol", "EUR"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args);
    }
    // The history and the cone as the command prints them.
    std::string Outputs() const {
        const test::CliOutcome history = Vol({"--history"});
        const test::CliOutcome cone = Vol({"--cone", "--date", common::DayText(last_day())});
        EXPECT_EQ(history.status, 0) << history.err;
        EXPECT_EQ(cone.status, 0) << cone.err;
        return history.out + cone.out;
    }
    common::Date last_day() const {
        const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
        return days && !days->days.empty() ? days->days.back().date : common::kInvalidDate;
    }
    std::filesystem::path Store() const { return VolatilityStorePath(h.home.Folder(), "EUR"); }

    PanelHarness h;
    const reportgen::ReportGenerator generator_;
    common::Date next_day_ = 0;
};

TEST_F(VolStoreTest, HoldsWhatTheTermStructureGivesEveryDay) {
    const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(days);
    EXPECT_EQ(days->days.size(), static_cast<std::size_t>(kDays));
    EXPECT_EQ(days->recomputed, static_cast<std::size_t>(kDays));
    ASSERT_TRUE(std::filesystem::exists(Store()));
    // Read back from the file, nothing recomputed, to the last bit.
    const auto again = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->recomputed, 0u);
    EXPECT_EQ(again->days, days->days);
    // The build reads all days in one pass; `vol --term` reads one day by its queries.
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    for (const DaySummary& day : again->days) {
        const auto term = TermOfDay(db, "EUR", common::DayText(day.date));
        ASSERT_TRUE(term);
        EXPECT_EQ(SummaryOfTerm(*term), day.contracts) << common::DayText(day.date);
    }
}

// What happens to the store behind its back.
enum class Damage { kDeleted, kTruncated, kZeroed, kForeign, kOtherSymbol, kFolder };

class VolStoreDamage : public VolStoreTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(VolStoreDamage, GivesTheSameOutputsAfterwards) {
    const std::string before = Outputs();
    ASSERT_TRUE(common::Contains(before, "\"iv_rank\": ")) << before;
    const auto size = std::filesystem::file_size(Store());
    switch (GetParam()) {
        case Damage::kDeleted:
            std::filesystem::remove(Store());
            break;
        case Damage::kTruncated:
            std::filesystem::resize_file(Store(), size / 2);
            break;
        case Damage::kZeroed: {
            std::ofstream zero(Store(), std::ios::binary | std::ios::trunc);
            zero << std::string(size, '\0');
            break;
        }
        case Damage::kForeign: {
            std::ofstream text(Store(), std::ios::binary | std::ios::trunc);
            text << "not a database at all\n";
            break;
        }
        case Damage::kOtherSymbol: {
            const storage::Database db = storage::Database::Open(Store());
            ASSERT_TRUE(db.Execute("UPDATE meta SET value = 'GBP' WHERE key = 'symbol'"));
            break;
        }
        case Damage::kFolder:
            std::filesystem::remove(Store());
            std::filesystem::create_directory(Store());
            break;
    }
    EXPECT_EQ(Outputs(), before);
    if (GetParam() != Damage::kFolder) {
        const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
        ASSERT_TRUE(days);
        EXPECT_EQ(days->recomputed, 0u) << "the store was not rebuilt";
    }
}

INSTANTIATE_TEST_SUITE_P(All, VolStoreDamage,
                         ::testing::Values(Damage::kDeleted, Damage::kTruncated, Damage::kZeroed,
                                           Damage::kForeign, Damage::kOtherSymbol,
                                           Damage::kFolder));

// Rows written without the day run, and a day run, against a store built afresh.
TEST_F(VolStoreTest, RowsWrittenBehindItsBackAreSeen) {
    const std::string before = Outputs();
    StoreParsedRows(h.QuoteFile(), generator_.Generate(next_day_).rows.at("EUR"));
    const std::string added = Outputs();
    EXPECT_NE(added, before);
    EXPECT_TRUE(common::Contains(added, common::DayText(next_day_)));

    // A premium edited in place: same row count and ids, another fingerprint.
    {
        const storage::Database db = storage::Database::Open(h.QuoteFile());
        ASSERT_TRUE(
            db.Execute("UPDATE dating SET price = price * 1.5 WHERE date = ? AND option = 'CALL'",
                       {storage::SqlValue(common::DayText(next_day_))}));
    }
    const std::string edited = Outputs();
    EXPECT_NE(edited, added);
    std::filesystem::remove(Store());
    EXPECT_EQ(Outputs(), edited);

    // The day run's way: the day alone summarised, the rest read from the store.
    const std::string stamp = QuoteFileStamp(h.home.Folder(), "EUR");
    common::Date later = next_day_ + common::kSecondsPerDay;
    while (!common::IsTradingDay(later)) {
        later += common::kSecondsPerDay;
    }
    StoreParsedRows(h.QuoteFile(), generator_.Generate(later).rows.at("EUR"));
    EXPECT_TRUE(RefreshVolatilityDay(h.home.Folder(), "EUR", common::DayText(later), stamp));
    const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(days);
    EXPECT_EQ(days->recomputed, 0u);
    const std::string refreshed = Outputs();
    std::filesystem::remove(Store());
    EXPECT_EQ(Outputs(), refreshed);
}

TEST_F(VolStoreTest, HistoryAndConeCarryTheirKeysAndTheLatestDayIsTheDefault) {
    const test::CliOutcome history = Vol({"--history", "--from", "01.12.2025"});
    ASSERT_EQ(history.status, 0) << history.err;
    EXPECT_EQ(history.out.rfind("{\"symbol\": \"EUR\", \"days\": [{\"date\": \"01.12.2025\", "
                                "\"cm7\": ",
                                0),
              0u)
        << history.out;
    for (const char* key :
         {"\"cm14\": ", "\"cm30\": ", "\"cm60\": ", "\"cm90\": ", "\"rr25_30\": ", "\"bf25_30\": ",
          "\"iv_rank\": ", "\"iv_percentile\": ", "\"futures_contract\": \"",
          "\"futures\": ", "\"return\": ", "\"rv20\": ", "\"rv60\": null", "\"vrp20\": "}) {
        EXPECT_TRUE(common::Contains(history.out, key)) << key;
    }
    const test::CliOutcome csv = Vol({"--history", "--csv", "--to", "04.11.2025"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "date,cm7,cm14,cm30,cm60,cm90,rr25_30,bf25_30,iv_rank,iv_percentile,"
              "futures_contract,futures,return,rv20,rv60,vrp20\r\n" +
                  csv.out.substr(csv.out.find("\r\n") + 2));
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);  // header, 03.11, 04.11

    const std::string last = common::DayText(last_day());
    const test::CliOutcome cone = Vol({"--cone"});
    ASSERT_EQ(cone.status, 0) << cone.err;
    EXPECT_EQ(cone.out, Vol({"--cone", "--date", last}).out);
    EXPECT_TRUE(common::Contains(cone.out, "\"tenors\": [{\"days\": 7, \"count\": 24, \"min\": "))
        << cone.out;

    // Plain vol without --date: the latest stored day.
    EXPECT_EQ(Vol({"--term"}).out, Vol({"--term", "--date", last}).out);
}

// The number after `"key": ` in a JSON text ("null" when none).
std::string After(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t start = at + key.size() + 4;
    return json.substr(start, json.find_first_of(",}", start) - start);
}

TEST_F(VolStoreTest, TheBoardCarriesEachSymbolsVolatilityAndItsChange) {
    const std::string last = common::DayText(last_day());
    const test::CliOutcome board =
        RunCli({"--home", h.home.Path().string(), "board", "--symbol", "EUR", "--date", last});
    ASSERT_EQ(board.status, 0) << board.err;
    const test::CliOutcome json = Vol({"--history"});
    // The last two days of the history against the board's figures and changes.
    const std::size_t today = json.out.find("\"date\": \"" + last + "\"");
    const std::size_t before = json.out.rfind("\"date\": ", today - 1);
    ASSERT_NE(today, std::string::npos);
    const std::size_t tail = board.out.find("\"volume_to_oi\": ");
    for (const char* key : {"cm30", "iv_rank", "iv_percentile", "rv20", "vrp20"}) {
        const std::string value = After(json.out, key, today);
        EXPECT_EQ(After(board.out, key, tail), value) << key;
        if (value == "null" || After(json.out, key, before) == "null") {
            EXPECT_EQ(After(board.out, std::string(key) + "_change", tail), "null") << key;
            continue;
        }
        const double change = std::stod(value) - std::stod(After(json.out, key, before));
        EXPECT_NEAR(std::stod(After(board.out, std::string(key) + "_change", tail)), change, 1e-15)
            << key;
    }
    EXPECT_EQ(After(board.out, "iv_rank", tail).find("null"), std::string::npos);
}

TEST_F(VolStoreTest, BadUsageIsClear) {
    for (const auto& extra :
         std::vector<std::vector<std::string>>{{"--history", "--cone"},
                                               {"--history", "--date", "01.12.2025"},
                                               {"--cone", "--from", "01.12.2025"},
                                               {"--history", "--contract", "MAR26-AM"},
                                               {"--term", "--from", "01.12.2025"},
                                               {"--history", "--from", "32.12.2025"}}) {
        const test::CliOutcome outcome = Vol(extra);
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
    const test::CliOutcome none =
        RunCli({"--home", h.home.Path().string(), "vol", "--symbol", "GBP", "--history"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty());
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
