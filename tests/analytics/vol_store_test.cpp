#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analytics/board/alert_check.h"
#include "analytics/board/board.h"
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
    // The build reads all days in one pass; `vol --term` reads one day by its queries. The
    // smiles too are the solved ones, bit for bit.
    const auto smiles =
        LoadVolatilityDays(h.home.Folder(), "EUR", {}, nullptr, StoredSmiles::kRead);
    ASSERT_TRUE(smiles);
    EXPECT_EQ(smiles->recomputed, 0u);
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    for (const DaySummary& day : smiles->days) {
        const auto term = TermOfDay(db, "EUR", common::DayText(day.date));
        ASSERT_TRUE(term);
        EXPECT_EQ(SummaryOfTerm(*term), day.contracts) << common::DayText(day.date);
    }
}

// What happens to the store behind its back.
enum class Damage { kDeleted, kTruncated, kZeroed, kForeign, kOtherSymbol, kFolder, kTorn };

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
        case Damage::kTorn: {
            // What a crash of the computer in the middle of a write may leave: a page of one
            // day's contracts new and the rest old, every page well formed.
            const storage::Database db = storage::Database::Open(Store());
            ASSERT_TRUE(
                db.Execute("UPDATE contracts SET atm_vol = atm_vol * 2 WHERE date = "
                           "(SELECT MAX(date) FROM contracts)"));
            break;
        }
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
                                           Damage::kForeign, Damage::kOtherSymbol, Damage::kFolder,
                                           Damage::kTorn));

// A smile is read only where it adds up: one damaged, or left over from another summary of its
// contract, is left out (its reader solves it again) and the rest of the day stands.
TEST_F(VolStoreTest, ASmileThatDoesNotAddUpIsLeftOut) {
    const auto read = [&] {
        return LoadVolatilityDays(h.home.Folder(), "EUR", {}, nullptr, StoredSmiles::kRead);
    };
    const auto whole = read();
    ASSERT_TRUE(whole);
    std::size_t with_smile = 0;
    for (const DaySummary& day : whole->days) {
        for (const ContractSummary& contract : day.contracts) {
            EXPECT_EQ(contract.smile.has_value(), contract.forward.has_value());
            with_smile += contract.smile ? 1 : 0;
        }
    }
    ASSERT_GT(with_smile, 2u);
    const std::string date = common::DayText(whole->days.back().date);
    {
        const storage::Database db = storage::Database::Open(Store());
        ASSERT_TRUE(db.Execute(
            "UPDATE smiles SET points = substr(points, 1, length(points) - 16) WHERE date = ? "
            "AND position = (SELECT MIN(position) FROM smiles WHERE date = ?)",
            {storage::SqlValue(date), storage::SqlValue(date)}));
        // Another day's smile in the place of this one's first.
        ASSERT_TRUE(db.Execute(
            "UPDATE smiles SET (points, checksum) = (SELECT points, checksum FROM smiles WHERE "
            "date = (SELECT MAX(date) FROM smiles WHERE date <> ?1) AND position = 0) WHERE "
            "date = (SELECT MIN(date) FROM smiles WHERE date <> ?1) AND position = 0",
            {storage::SqlValue(date)}));
    }
    const auto damaged = read();
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->recomputed, 0u);
    ASSERT_EQ(damaged->days.size(), whole->days.size());
    std::size_t left_out = 0;
    for (std::size_t d = 0; d < whole->days.size(); ++d) {
        for (std::size_t c = 0; c < whole->days[d].contracts.size(); ++c) {
            ContractSummary expected = whole->days[d].contracts[c];
            const ContractSummary& got = damaged->days[d].contracts[c];
            if (!got.smile && expected.smile) {
                ++left_out;
                expected.smile.reset();
            }
            EXPECT_EQ(got, expected);
        }
    }
    EXPECT_EQ(left_out, 2u);
    // Who does not ask for the smiles gets none, from the file or made just now.
    std::filesystem::remove(Store());
    for (int pass = 0; pass < 2; ++pass) {
        const auto plain = LoadVolatilityDays(h.home.Folder(), "EUR");
        ASSERT_TRUE(plain);
        for (const DaySummary& day : plain->days) {
            for (const ContractSummary& contract : day.contracts) {
                EXPECT_FALSE(contract.smile);
            }
        }
    }
}

// The store's build tells how far it has come, with --verbose only, to whichever command
// brings it in line; what the commands print is the same either way.
TEST_F(VolStoreTest, ItsBuildTellsItsProgressWhenAskedTo) {
    const std::string home = h.home.Path().string();
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"vol", "--symbol", "EUR", "--history"},
          std::vector<std::string>{"scorecard", "--symbol", "EUR"}}) {
        std::vector<std::string> quiet{"--home", home};
        quiet.insert(quiet.end(), command.begin(), command.end());
        std::vector<std::string> verbose{"--home", home, "--verbose"};
        verbose.insert(verbose.end(), command.begin(), command.end());
        std::filesystem::remove(Store());
        const test::CliOutcome plain = RunCli(quiet);
        std::filesystem::remove(Store());
        const test::CliOutcome told = RunCli(verbose);
        EXPECT_EQ(plain.status, 0) << plain.err;
        EXPECT_EQ(told.out, plain.out);
        EXPECT_TRUE(plain.err.empty()) << plain.err;
        const std::string last = "zarvex-cli: EUR: volatility of " + std::to_string(kDays) +
                                 " of " + std::to_string(kDays) + " days\n";
        EXPECT_TRUE(common::Contains(told.err, "zarvex-cli: EUR: volatility of 0 of ")) << told.err;
        EXPECT_TRUE(common::Contains(told.err, last)) << told.err;
        // In line: nothing to tell.
        EXPECT_FALSE(common::Contains(RunCli(verbose).err, "volatility of"));
    }
}

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

    // The day run's way: the day waits for its summary, which the next reader makes from that
    // day's rows alone; the rest is read from the store.
    const std::string stamp = QuoteFileStamp(h.home.Folder(), "EUR");
    common::Date later = next_day_ + common::kSecondsPerDay;
    while (!common::IsTradingDay(later)) {
        later += common::kSecondsPerDay;
    }
    StoreParsedRows(h.QuoteFile(), generator_.Generate(later).rows.at("EUR"));
    EXPECT_TRUE(RefreshVolatilityDay(h.home.Folder(), "EUR", common::DayText(later), stamp));
    const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(days);
    EXPECT_EQ(days->recomputed, 1u);
    EXPECT_EQ(LoadVolatilityDays(h.home.Folder(), "EUR")->recomputed, 0u);
    const std::string refreshed = Outputs();
    std::filesystem::remove(Store());
    EXPECT_EQ(Outputs(), refreshed);
}

// The evening's board solves its day's contracts anyway: the store takes that day from it, and
// it is the day the rows give, to the last bit.
TEST_F(VolStoreTest, TheBoardHandsItsDayOverAndItIsTheDayTheRowsGive) {
    const std::string stamp = QuoteFileStamp(h.home.Folder(), "EUR");
    Outputs();
    StoreParsedRows(h.QuoteFile(), generator_.Generate(next_day_).rows.at("EUR"));
    const std::string day = common::DayText(next_day_);
    ASSERT_TRUE(RefreshVolatilityDay(h.home.Folder(), "EUR", day, stamp));
    const Board board = BuildBoard({{AnalysisInput(SettingsWith(1, 0), "EUR"), h.QuoteFile()}},
                                   next_day_, next_day_, {}, h.home.Folder(), h.host.AsHost());
    ASSERT_TRUE(board.symbols.at(0).volatility);
    EXPECT_TRUE(board.symbols[0].volatility->handed) << "the day was solved again";
    const auto handed =
        LoadVolatilityDays(h.home.Folder(), "EUR", {}, nullptr, StoredSmiles::kRead);
    ASSERT_TRUE(handed);
    EXPECT_EQ(handed->recomputed, 0u) << "the day was solved again";
    std::filesystem::remove(Store());
    const auto rebuilt =
        LoadVolatilityDays(h.home.Folder(), "EUR", {}, nullptr, StoredSmiles::kRead);
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->days, handed->days);
    ASSERT_EQ(handed->days.back().date, next_day_);
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    EXPECT_EQ(SummaryOfTerm(*TermOfDay(db, "EUR", day)), handed->days.back().contracts);
}

// A handed day is taken only where it is what the store's own reading of the rows gives.
TEST(HandedDayTest, IsRefusedWhereAContractIsMissingOrSolvedWithAnotherExpiration) {
    HandedDay handed;
    handed.date = "05.12.2025";
    handed.contracts = {"MAR26-AM", "DEC25-AM"};
    handed.expirations = {{"MAR26-AM", "13.03.2026"}, {"DEC25-AM", "12.12.2025"}};
    TermContract far{"MAR26-AM", "13.03.2026", {}, 10};
    far.figures.days = 98;
    TermContract near{"DEC25-AM", "12.12.2025", {}, 20};
    near.figures.days = 7;
    handed.solved = {near, far};
    const auto summary = SummaryOfHanded(handed);
    ASSERT_TRUE(summary);
    ASSERT_EQ(summary->contracts.size(), 2u);
    EXPECT_EQ(summary->contracts[0].contract, "DEC25-AM");  // nearest expiry first
    EXPECT_EQ(summary->contracts[1].total_oi, 10);

    HandedDay missing = handed;
    missing.solved.pop_back();
    EXPECT_FALSE(SummaryOfHanded(missing));
    HandedDay other = handed;
    other.expirations["MAR26-AM"] = "20.03.2026";  // the contract's history says otherwise
    EXPECT_FALSE(SummaryOfHanded(other));
    HandedDay not_a_day = handed;
    not_a_day.date = "32.12.2025";
    EXPECT_FALSE(SummaryOfHanded(not_a_day));
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

// Rules on the symbol's figures across days, on the board of a day with fewer than 20 stored
// days (no rank or percentile yet) and of the last day (both there).
TEST_F(VolStoreTest, AlertRulesNameTheFiguresAcrossDaysAndAnUndefinedOneFiresNothing) {
    // Each rule holds wherever its figure is defined, but the third.
    const std::vector<std::pair<std::string, std::string>> lines{
        {"iv_rank", "EUR front iv_rank above -1"},
        {"iv_percentile", "EUR front iv_percentile below 101"},
        {"iv_rank", "EUR front iv_rank below -1"},
        {"cm30", "EUR front cm30 above 0"},
        {"rv20", "EUR front rv20 above 0"},
        {"vrp20", "EUR front vrp20 moves 0.000001%"},
    };
    std::string text;
    for (const auto& [key, rule] : lines) {
        text += rule + "\n";
    }
    const AlertRules rules = ParseAlertRules(text);
    ASSERT_EQ(rules.rules.size(), lines.size()) << rules.errors.at(0).message;
    const auto check = [&](common::Date day) {
        SCOPED_TRACE(common::DayText(day));
        const Board board = BuildBoard({{AnalysisInput(SettingsWith(1, 0), "EUR"), h.QuoteFile()}},
                                       day, day, {}, h.home.Folder(), h.host.AsHost());
        std::string fired;
        for (const FiredAlert& alert : EvaluateAlerts(rules.rules, board)) {
            fired += std::to_string(alert.rule.line) + " " + alert.today + "\n";
        }
        const std::string days = common::DayText(day);
        const test::CliOutcome history = Vol({"--history", "--from", days, "--to", days});
        const test::CliOutcome before = Vol({"--history", "--to", days});
        std::string expected;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string value = After(history.out, lines[i].first);
            const std::size_t previous_day =
                before.out.rfind("\"date\": ", before.out.rfind("\"date\": ") - 1);
            const bool moved = After(before.out, lines[i].first, previous_day) != "null";
            if (value != "null" && i != 2 && (i != 5 || moved)) {
                expected += std::to_string(i + 1) + " " + value + "\n";
            }
        }
        EXPECT_EQ(fired, expected) << history.out;
        return history.out;
    };
    const auto days = LoadVolatilityDays(h.home.Folder(), "EUR");
    ASSERT_TRUE(days);
    // The tenth day: a cm30, but no rank, percentile or RV20 yet.
    const std::string tenth = check(days->days.at(9).date);
    EXPECT_TRUE(common::Contains(tenth, "\"iv_rank\": null, \"iv_percentile\": null")) << tenth;
    EXPECT_FALSE(common::Contains(tenth, "\"cm30\": null")) << tenth;
    const std::string last = check(last_day());
    EXPECT_FALSE(common::Contains(last, "\"iv_rank\": null")) << last;
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
