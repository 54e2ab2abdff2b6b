#include "analytics/scorecard/scorecard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analytics/history/contract_history.h"
#include "analytics/volatility/volatility_store.h"
#include "common/plain_host.h"
#include "common/program_folder.h"
#include "left_panel_fixture.h"
#include "support/temp_folder.h"

namespace zarvex::analytics::left_testing {
namespace {

// One stored day of a contract whose parity forward is `forward`: the 1.30 strike has both
// premiums (CALL forward - 1.29, PUT 0.01), so with no other such strike F = K + C - P. The
// CALL level is the busiest CALL strike (1.40 unless `call_volume_at` moves volume elsewhere),
// the borders are 1.40 and 1.20 (largest open interest), the limits 1.50 and 1.10.
std::vector<Row> Day(const std::string& date, double forward, const std::string& contract,
                     const std::string& expiration, const std::string& oi_at_money = "100",
                     const std::string& call_level = "1.4") {
    auto row = [&](const char* option, const std::string& strike, const std::string& price,
                   const char* delta, const std::string& volume, const std::string& oi) {
        Row r;
        r.option = option;
        r.strike = strike;
        r.price = price;
        r.delta = delta;
        r.volume = volume;
        r.oi = oi;
        r.contract = contract;
        r.date = date;
        r.expiration = expiration;
        return r;
    };
    return {
        row("CALL", "1.3", std::to_string(forward - 1.29), "0.5", "10", oi_at_money),
        row("PUT", "1.3", "0.01", "0.5", "10", oi_at_money),
        row("CALL", "1.4", "0.005", "0.2", call_level == "1.4" ? "50" : "1", "500"),
        row("CALL", call_level == "1.4" ? "1.45" : call_level, "0.003", "0.1",
            call_level == "1.4" ? "1" : "200", "5"),
        row("PUT", "1.2", "0.004", "0.2", "40", "400"),
        row("CALL", "1.5", "0.001", "0.05", "0", "10"),
        row("PUT", "1.1", "0.001", "0.05", "0", "10"),
    };
}

class ScorecardTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = home_.Path() / "DB" / "EUR_data.lql";
        std::filesystem::create_directories(file_.parent_path());
        CreateQuoteDatabase(file_);
    }
    void Add(const std::vector<Row>& rows) { InsertRows(file_, rows); }

    Scorecard Compute(common::Date from = common::kInvalidDate,
                      common::Date to = common::kInvalidDate, bool all = false) {
        const storage::Database db = storage::Database::Open(file_);
        ScorecardRequest request;
        request.input = AnalysisInput(settings_, "EUR");
        request.from = from;
        request.to = to;
        request.all_contracts = all;
        const common::Result<Scorecard> card = ComputeScorecard(db, request, {});
        EXPECT_TRUE(card) << card.Reason();
        if (!card) {
            return {};
        }
        // The forwards, volatilities and smiles the store keeps are the ones fitted and solved
        // from the rows: the card is the same to the last bit, whichever gave them.
        for (const StoredSmiles smiles : {StoredSmiles::kLeave, StoredSmiles::kRead}) {
            const auto summaries = LoadVolatilityDays(home_.Folder(), "EUR", {}, nullptr, smiles);
            EXPECT_TRUE(summaries);
            if (summaries) {
                const common::Result<Scorecard> stored =
                    ComputeScorecard(db, request, summaries->days);
                EXPECT_TRUE(stored && *stored == *card);
            }
        }
        return *card;
    }

    static const LineScore& Of(const Scorecard& card, ScoredLine line, ScoreHorizon horizon) {
        for (const LineScore& score : card.lines) {
            if (score.line == line && score.horizon == horizon) {
                return score;
            }
        }
        static const LineScore kNone;
        ADD_FAILURE() << "no score";
        return kNone;
    }

    static common::Date D(const char* text) { return common::ParseDate(text, "%dd.%mm.%yyyy"); }

    test::TempProgramFolder home_;
    std::filesystem::path file_;
    settings::Settings settings_;
};

TEST(WilsonInterval, HandValuesAndTheEmptyCase) {
    const auto seven = WilsonInterval(7, 10);
    ASSERT_TRUE(seven);
    EXPECT_DOUBLE_EQ(seven->share, 0.7);
    EXPECT_NEAR(seven->low, 0.396774, 1e-6);
    EXPECT_NEAR(seven->high, 0.892210, 1e-6);
    // All held: the upper end is 1, the lower end well below it for a handful of cases.
    const auto all = WilsonInterval(5, 5);
    EXPECT_NEAR(all->high, 1.0, 1e-12);
    EXPECT_NEAR(all->low, 0.565509, 1e-6);
    EXPECT_FALSE(WilsonInterval(0, 0));
}

// The forwards come from the volatility store where it summarised the contract's day with the
// expiration the scorecard reads; a summary made with another expiration is left for the rows.
TEST_F(ScorecardTest, TakesTheStoresForwardOnlyWhereItSummarisedTheSameExpiration) {
    for (const auto& [day, forward] : {std::pair{"01.12.2025", 1.31}, {"02.12.2025", 1.32}}) {
        Add(Day(day, forward, "MAR26-EU", "20.03.2026"));
    }
    const storage::Database db = storage::Database::Open(file_);
    ScorecardRequest request;
    request.input = AnalysisInput(settings_, "EUR");
    const auto fitted = ComputeScorecard(db, request, {});
    ASSERT_TRUE(fitted);
    ASSERT_EQ(Of(*fitted, ScoredLine::kCallLevel, ScoreHorizon::kOneDay).held, 1);

    auto summaries = LoadVolatilityDays(home_.Folder(), "EUR");
    ASSERT_TRUE(summaries);
    ContractSummary* next = nullptr;
    for (DaySummary& day : summaries->days) {
        for (ContractSummary& contract : day.contracts) {
            if (day.date == D("02.12.2025") && contract.contract == "MAR26-EU") {
                next = &contract;
            }
        }
    }
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(next->forward);
    EXPECT_DOUBLE_EQ(*next->forward, 1.32);
    // A store that put the next day's forward through the CALL level: the ceiling broke.
    next->forward = 1.45;
    const auto stored = ComputeScorecard(db, request, summaries->days);
    ASSERT_TRUE(stored);
    EXPECT_EQ(Of(*stored, ScoredLine::kCallLevel, ScoreHorizon::kOneDay).held, 0);
    // Summarised with another expiration, the day is fitted from its rows again.
    next->expiration = "19.03.2026";
    const auto refitted = ComputeScorecard(db, request, summaries->days);
    ASSERT_TRUE(refitted);
    EXPECT_TRUE(*refitted == *fitted);
}

TEST_F(ScorecardTest, ALevelCrossedOnTheFifthDayHoldsOneDayAheadButNotFive) {
    const char* days[] = {"01.12.2025", "02.12.2025", "03.12.2025",
                          "04.12.2025", "05.12.2025", "08.12.2025"};
    const double path[] = {1.31, 1.32, 1.33, 1.35, 1.38, 1.41};
    for (int i = 0; i < 6; ++i) {
        Add(Day(days[i], path[i], "MAR26-EU", "20.03.2026"));
    }
    const Scorecard card = Compute(D("01.12.2025"), D("01.12.2025"));
    const LineScore& call1 = Of(card, ScoredLine::kCallLevel, ScoreHorizon::kOneDay);
    EXPECT_EQ(call1.cases, 1);
    EXPECT_EQ(call1.held, 1);
    const LineScore& call5 = Of(card, ScoredLine::kCallLevel, ScoreHorizon::kFiveDays);
    EXPECT_EQ(call5.cases, 1);
    EXPECT_EQ(call5.held, 0);
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kOneDay).held, 1);
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kFiveDays).held, 0);
    EXPECT_EQ(Of(card, ScoredLine::kLimits, ScoreHorizon::kFiveDays).held, 1);
    // F above the PUT level all the way: a floor that held.
    EXPECT_EQ(Of(card, ScoredLine::kPutLevel, ScoreHorizon::kFiveDays).held, 1);
    // No expiration is stored yet: nothing at expiry.
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kExpiry).cases, 0);
    EXPECT_FALSE(Of(card, ScoredLine::kBorders, ScoreHorizon::kExpiry).rate);

    // Without bounds every day with enough days after it is a case: five one day ahead, one
    // five days ahead.
    const Scorecard whole = Compute();
    EXPECT_EQ(Of(whole, ScoredLine::kBorders, ScoreHorizon::kOneDay).cases, 5);
    EXPECT_EQ(Of(whole, ScoredLine::kBorders, ScoreHorizon::kFiveDays).cases, 1);
    EXPECT_EQ(whole.from, D("01.12.2025"));
    EXPECT_EQ(whole.to, D("08.12.2025"));
}

TEST_F(ScorecardTest, ADayWithoutTheContractIsSkippedNotCounted) {
    Add(Day("01.12.2025", 1.31, "MAR26-EU", "20.03.2026"));
    // On the 2nd only another contract is stored: the next day of MAR26 is the 3rd, where F
    // has left the channel.
    Add(Day("02.12.2025", 1.31, "JUN26-EU", "19.06.2026"));
    Add(Day("03.12.2025", 1.45, "MAR26-EU", "20.03.2026"));
    const Scorecard card = Compute(D("01.12.2025"), D("01.12.2025"));
    const LineScore& borders = Of(card, ScoredLine::kBorders, ScoreHorizon::kOneDay);
    EXPECT_EQ(borders.cases, 1);
    EXPECT_EQ(borders.held, 0);
}

TEST_F(ScorecardTest, AContractThatExpiresInsideTheHorizonIsScoredAtItsLastDay) {
    // Expiry on the 5th: the last day before it is the 4th; the stored 5th (of the next
    // contract) shows the expiration has passed.
    const double path[] = {1.31, 1.33, 1.36, 1.39};
    const char* days[] = {"01.12.2025", "02.12.2025", "03.12.2025", "04.12.2025"};
    for (int i = 0; i < 4; ++i) {
        Add(Day(days[i], path[i], "DEC25-EU", "05.12.2025"));
    }
    // The front on the 1st needs 5 days left: DEC25 has only 4, so the comparison runs over
    // every contract with open interest.
    Scorecard before = Compute(D("01.12.2025"), D("01.12.2025"), true);
    EXPECT_EQ(Of(before, ScoredLine::kBorders, ScoreHorizon::kExpiry).cases, 0);
    Add(Day("05.12.2025", 1.30, "MAR26-EU", "20.03.2026"));
    const Scorecard card = Compute(D("01.12.2025"), D("01.12.2025"), true);
    // Five days ahead there are only three days of the contract left.
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kFiveDays).cases, 0);
    const LineScore& expiry = Of(card, ScoredLine::kBorders, ScoreHorizon::kExpiry);
    EXPECT_EQ(expiry.cases, 1);
    EXPECT_EQ(expiry.held, 1);
    // Max pain of the 1st: the pain is least at 1.30 (every option's interest counted). Three
    // days were left: the 1-5 group, with F_last = 1.39.
    ASSERT_EQ(card.max_pain.size(), 4U);
    const MaxPainScore& group = card.max_pain[0];
    EXPECT_EQ(group.first_day, 1);
    EXPECT_EQ(group.last_day, 5);
    EXPECT_EQ(group.cases, 1);
    ASSERT_TRUE(group.forward_error);
    EXPECT_NEAR(*group.forward_error, 0.08, 1e-9);
    ASSERT_TRUE(group.max_pain_error);
    EXPECT_NEAR(*group.max_pain_error, 0.09, 1e-9);
    EXPECT_EQ(group.max_pain_closer->share, 0.0);
    EXPECT_EQ(card.max_pain[1].cases, 0);
    EXPECT_FALSE(card.max_pain[1].max_pain_error);
    // The front alone: DEC25 is too near on the 1st and MAR26 has no later day.
    const Scorecard front = Compute(D("01.12.2025"), D("01.12.2025"));
    EXPECT_EQ(Of(front, ScoredLine::kBorders, ScoreHorizon::kExpiry).cases, 0);
}

TEST_F(ScorecardTest, TheFrontIsTheNearestThenTheLargerInterestThenTheSmallerCode) {
    // Two contracts share an expiration; B has more open interest and leaves its channel.
    Add(Day("01.12.2025", 1.31, "MAR26-A", "20.03.2026", "100"));
    Add(Day("01.12.2025", 1.31, "MAR26-B", "20.03.2026", "300"));
    Add(Day("02.12.2025", 1.31, "MAR26-A", "20.03.2026", "100"));
    Add(Day("02.12.2025", 1.45, "MAR26-B", "20.03.2026", "300"));
    // A nearer contract with 4 days left does not count as the front.
    Add(Day("01.12.2025", 1.45, "DEC25-X", "05.12.2025"));
    Scorecard card = Compute(D("01.12.2025"), D("01.12.2025"));
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kOneDay).held, 0);
    // Equal interest with B: the smaller code, MAR26-0, whose F stays.
    Add(Day("01.12.2025", 1.31, "MAR26-0", "20.03.2026", "300"));
    Add(Day("02.12.2025", 1.31, "MAR26-0", "20.03.2026", "300"));
    card = Compute(D("01.12.2025"), D("01.12.2025"));
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kOneDay).cases, 1);
    EXPECT_EQ(Of(card, ScoredLine::kBorders, ScoreHorizon::kOneDay).held, 1);
}

TEST_F(ScorecardTest, LevelsAreTakenAsOfTheirEveningWithoutLaterVolume) {
    // On the 1st the busiest CALL strike is 1.40; on the 2nd much volume trades at 1.45, which
    // the panel's whole-history level then shows for the 1st too.
    Add(Day("01.12.2025", 1.31, "MAR26-EU", "20.03.2026"));
    Add(Day("02.12.2025", 1.42, "MAR26-EU", "20.03.2026", "100", "1.45"));
    Add(Day("03.12.2025", 1.42, "MAR26-EU", "20.03.2026"));
    const Scorecard card = Compute(D("01.12.2025"), D("01.12.2025"));
    // As of the 1st the ceiling is 1.40 and F went to 1.42: broken. With the later volume it
    // would have been 1.45, and held.
    const LineScore& call = Of(card, ScoredLine::kCallLevel, ScoreHorizon::kOneDay);
    EXPECT_EQ(call.cases, 1);
    EXPECT_EQ(call.held, 0);

    settings::Settings standart;
    standart.price_type = 1;
    HistoryRequest request;
    request.input = AnalysisInput(standart, "EUR", "MAR26-EU");
    common::PlainHost plain;
    const storage::Database db = storage::Database::Open(file_);
    const common::Result<ContractHistory> loaded =
        LoadContractHistory(db, home_.Folder(), request, plain.AsHost());
    ASSERT_TRUE(loaded);
    const ContractHistory& history = loaded.Value();
    ASSERT_EQ(history.days.size(), 3U);
    EXPECT_EQ(history.days[0].call_level.Text(), "1.4500");
    EXPECT_EQ(history.days[0].call_level_as_of.Text(), "1.4000");
    // The latest day: both readings agree.
    EXPECT_EQ(history.days[2].call_level.Text(), history.days[2].call_level_as_of.Text());
}

TEST_F(ScorecardTest, AFileThatIsNoQuoteDatabaseFailsByName) {
    {
        storage::Database db = storage::Database::Open(file_);
        ASSERT_TRUE(db.Execute("DROP TABLE dating"));
        ASSERT_TRUE(db.Execute("CREATE TABLE dating (x)"));
    }
    const storage::Database db = storage::Database::Open(file_);
    ScorecardRequest request;
    request.input = AnalysisInput(settings_, "EUR");
    const common::Result<Scorecard> card = ComputeScorecard(db, request, {});
    EXPECT_FALSE(card);
    EXPECT_NE(card.Reason().find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
