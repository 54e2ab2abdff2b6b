#include "analytics/board/board.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "analytics/board/oi_map.h"
#include "analytics/history/contract_history.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/volatility_summary.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"

namespace zarvex::analytics::left_testing {
namespace {

FigureId Named(std::string_view key) {
    return FigureByKey(key).value();
}

// --- Generated days: the board against a contract's history and the stored rows ---

class GeneratedBoardTest : public ::testing::Test {
protected:
    GeneratedBoardTest() : h("EUR", common::MakeDate(2013, 1, 10)) {
        const reportgen::ReportGenerator generator({.seed = 5});
        for (common::Date day = common::MakeDate(2012, 12, 24); days.size() < 7;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            StoreParsedRows(h.QuoteFile(), generated.rows.at("EUR"));
            std::ofstream(h.home.Folder().ForwardPointFile(day), std::ios::binary)
                << generated.forward_points;
            days.push_back(day);
        }
    }

    Board Build(common::Date date = common::kInvalidDate, BoardOptions options = {}) {
        return BuildBoard({{AnalysisInput(SettingsWith(2, 1), "EUR"), h.QuoteFile()}}, date,
                          days.back(), options, h.home.Folder(), h.host.AsHost());
    }

    // OI by strike (millionths) of one side of a contract on a day, straight from the rows: the
    // last numeric row of a strike.
    std::map<std::int64_t, std::int64_t> StoredOi(const std::string& contract, common::Date day,
                                                  const char* option) const {
        const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
        storage::Statement rows = db.Prepare(
            "SELECT strike, oi FROM dating WHERE date = ? AND contract = ? AND option = ? AND "
            "typeof(strike) = 'real' AND typeof(oi) = 'integer' ORDER BY rowid");
        const std::string text = common::DayText(day);
        rows.BindAll({std::string_view(text), std::string_view(contract), option});
        std::map<std::int64_t, std::int64_t> out;
        while (rows.Step()) {
            out[std::llround(rows.ColumnDouble(0) * 1e6)] = rows.ColumnInt(1);
        }
        return out;
    }

    PanelHarness h;
    std::vector<common::Date> days;
};

TEST_F(GeneratedBoardTest, EveryContractShowsItsHistoryOfBothDays) {
    const Board board = Build();
    ASSERT_EQ(board.date, days.back());
    const SymbolBoard& eur = board.symbols.at(0);
    ASSERT_TRUE(eur.read.IsDone()) << eur.read.Reason();
    EXPECT_EQ(eur.previous, days[days.size() - 2]);
    ASSERT_GE(eur.contracts.size(), 3u);
    EXPECT_TRUE(eur.contracts.front().front);
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    int ready = 0;
    for (std::size_t i = 0; i < eur.contracts.size(); ++i) {
        const BoardContract& contract = eur.contracts[i];
        SCOPED_TRACE(contract.contract);
        if (i > 0) {
            EXPECT_LE(common::ParseDate(eur.contracts[i - 1].expiration, "%dd.%mm.%yyyy"),
                      common::ParseDate(contract.expiration, "%dd.%mm.%yyyy"));
        }
        const common::Result<ContractHistory> loaded = LoadContractHistory(
            db, h.home.Folder(),
            {AnalysisInput(SettingsWith(2, 1), "EUR", contract.contract), eur.previous, eur.date},
            h.host.AsHost());
        ASSERT_TRUE(loaded) << loaded.Reason();
        const ContractHistory& history = *loaded;
        ASSERT_FALSE(history.days.empty());
        ASSERT_EQ(history.days.size(), contract.previous ? 2u : 1u);
        for (const auto& [day, figures] :
             {std::pair{&history.days.back(), &contract.today},
              std::pair{&history.days.front(),
                        contract.previous ? &*contract.previous : nullptr}}) {
            if (figures == nullptr) {
                continue;
            }
            EXPECT_EQ(day->expiration, contract.expiration);
            EXPECT_EQ(day->forward_point, figures->result.forward_point);
            EXPECT_EQ(day->call_level.Text(), (*figures)[Named("call_level")].text);
            EXPECT_EQ(day->put_level.Text(), (*figures)[Named("put_level")].text);
            EXPECT_EQ(day->upper_border.Text(), (*figures)[Named("upper_border")].text);
            EXPECT_EQ(day->bottom_border.Text(), (*figures)[Named("bottom_border")].text);
            EXPECT_EQ(day->upper_limit.Text(), (*figures)[Named("upper_limit")].text);
            EXPECT_EQ(day->bottom_limit.Text(), (*figures)[Named("bottom_limit")].text);
            EXPECT_EQ(day->delta_balance.Text(), (*figures)[Named("delta_balance")].text);
            EXPECT_EQ(day->ratio_oi.Text(), (*figures)[Named("ratio_oi")].text);
            EXPECT_EQ(day->ratio_avg_price.Text(), (*figures)[Named("ratio_avg_price")].text);
            EXPECT_EQ(day->max_pain.Text(), (*figures)[Named("max_pain")].text);
            EXPECT_EQ(std::to_string(day->put_oi), (*figures)[Named("put_oi")].text);
            EXPECT_EQ(std::to_string(day->call_volume), (*figures)[Named("call_volume")].text);
            // The volatility from the rows in memory is exactly what `vol` reads from the file.
            const common::Result<VolatilitySummary> summary = SummariseVolatility(
                db, "EUR", common::DayText(figures->result.day), contract.contract);
            ASSERT_TRUE(summary) << summary.Reason();
            const VolatilitySummary& vol = *summary;
            EXPECT_EQ(vol.atm_vol, (*figures)[Named("atm_vol")].number);
            EXPECT_EQ(vol.expected_move, (*figures)[Named("expected_move")].number);
            const auto band = [&](double price) {
                return vol.expected_move ? ShownPrice(price, "EUR", figures->result.forward_point,
                                                      common::PriceType::kForex)
                                         : std::string();
            };
            EXPECT_EQ(band(vol.bands[1]), figures->result.band_low);
            EXPECT_EQ(band(vol.bands[2]), figures->result.band_high);
            ready += vol.expected_move ? 1 : 0;
        }
        if (contract.previous) {
            const auto& vol = contract.today[Named("atm_vol")].number;
            const auto& vol_before = (*contract.previous)[Named("atm_vol")].number;
            EXPECT_EQ(contract.ChangeOf(Named("atm_vol")),
                      vol && vol_before ? std::optional(*vol - *vol_before) : std::nullopt);
            const auto change = contract.ChangeOf(Named("call_oi"));
            ASSERT_TRUE(change);
            EXPECT_EQ(*change, static_cast<double>(history.days.back().call_oi -
                                                   history.days.front().call_oi));
        }
    }
    EXPECT_GT(ready, 0) << "no contract with an implied volatility: the comparison proved nothing";
}

TEST_F(GeneratedBoardTest, ChangesAndMapAgreeWithTheStoredRows) {
    const Board board = Build(common::kInvalidDate, {.top = 5, .volume_floor = 100});
    const SymbolBoard& eur = board.symbols.at(0);
    // Every change of every strike of the board's contracts, from the rows themselves.
    std::vector<std::int64_t> call_changes;
    std::map<std::int64_t, std::int64_t> totals;
    for (const BoardContract& contract : eur.contracts) {
        const auto today = StoredOi(contract.contract, eur.date, "CALL");
        auto before = StoredOi(contract.contract, eur.previous, "CALL");
        for (const auto& [strike, oi] : today) {
            call_changes.push_back(oi - before[strike]);
            totals[strike] += oi;
        }
        for (const auto& [strike, oi] : StoredOi(contract.contract, eur.date, "PUT")) {
            totals[strike] += oi;
        }
    }
    std::sort(call_changes.begin(), call_changes.end());
    ASSERT_EQ(eur.call_build_ups.size(), 5u);
    EXPECT_EQ(eur.call_build_ups.front().Change(), call_changes.back());
    EXPECT_EQ(eur.call_unwinds.front().Change(), call_changes.front());
    for (std::size_t i = 1; i < eur.call_build_ups.size(); ++i) {
        EXPECT_GE(eur.call_build_ups[i - 1].Change(), eur.call_build_ups[i].Change());
    }
    for (const VolumeLeader& leader : eur.volume_to_oi) {
        EXPECT_GT(leader.oi, 100);
    }

    const storage::Database db = storage::Database::OpenReadOnlyForScan(h.QuoteFile());
    SymbolRows rows;
    ASSERT_TRUE(rows.Scan(db));
    const common::Result<OiMap> built = BuildOiMap(rows, db, "EUR", eur.date, 0);
    ASSERT_TRUE(built) << built.Reason();
    const OiMap& map = *built;
    ASSERT_EQ(map.contracts.size(), eur.contracts.size());
    for (std::size_t row = 0; row < map.strikes.size(); ++row) {
        const std::int64_t strike = std::llround(map.strikes[row] * 1e6);
        EXPECT_EQ(map.sums[row], totals[strike]) << map.strikes[row];
    }
    const common::Result<OiMap> week = BuildOiMap(rows, db, "EUR", eur.date, 5);
    ASSERT_TRUE(week) << week.Reason();
    EXPECT_EQ(week->compare_date, days[days.size() - 6]);
}

// Everything the board and the map show of a symbol, as one text to compare.
std::string Shown(const SymbolBoard& board, const OiMap& map) {
    std::string out = board.read.Reason() + "|" + common::DayText(board.previous) + "\n";
    for (const BoardContract& contract : board.contracts) {
        out += contract.contract + " " + contract.expiration + "\n";
        for (const ContractDayFigures* day :
             {&contract.today, contract.previous ? &*contract.previous : nullptr}) {
            for (const FigureId figure : FiguresIn(figure_output::kCompared)) {
                out += (day != nullptr ? (*day)[figure].text : "-") + ",";
            }
            out += "\n";
        }
    }
    for (const auto* list :
         {&board.call_build_ups, &board.call_unwinds, &board.put_build_ups, &board.put_unwinds}) {
        for (const OiChange& change : *list) {
            out += change.contract + std::to_string(change.strike) + ":" +
                   std::to_string(change.Change()) + " ";
        }
    }
    for (std::size_t i = 0; i < map.strikes.size(); ++i) {
        out += std::to_string(map.strikes[i]) + "=" + std::to_string(map.sums[i]) + " ";
    }
    return out;
}

TEST_F(GeneratedBoardTest, AFileWithoutTheIndexesShowsTheSame) {
    {
        // Rows no query of the panel matches: they must change nothing on either road.
        const storage::Database db = storage::Database::Open(h.QuoteFile());
        ASSERT_TRUE(db.Execute(
            "INSERT INTO dating (strike, volume, option, contract, expiration, date) VALUES "
            "(1.3, 900000, 'call', 'MAR13-EU', '01.01.2000', ?1), "
            "(1.3, 900000, X'43414C4C', 'MAR13-EU', '01.01.2000', ?1), "
            "(1.3, 900000, 'CALL', X'4D41523133', '01.01.2000', ?1), "
            "(1.3, 900000, 'PUT', 'MAR13-EU', '01.01.2000', X'3031'), "
            "(1.3, 900000, 'PUT', 'MAR13-EU', '01.01.2000', '7.1.2013')",
            {std::string_view(common::DayText(days.back()))}));
    }
    const auto show = [&] {
        const Board board = Build();
        const storage::Database db = storage::Database::OpenReadOnlyForScan(h.QuoteFile());
        SymbolRows rows;
        EXPECT_TRUE(rows.Scan(db));
        const common::Result<OiMap> map = BuildOiMap(rows, db, "EUR", board.date, 5);
        return Shown(board.symbols.at(0), map ? *map : OiMap());
    };
    const std::string indexed = show();
    {
        const storage::Database db = storage::Database::Open(h.QuoteFile());
        ASSERT_TRUE(db.Execute("DROP INDEX dt"));
        ASSERT_TRUE(db.Execute("DROP INDEX cn"));
    }
    EXPECT_EQ(show(), indexed);
}

// --- Hand-made rows: what counts as an option, a change and the front ---

TEST(BoardRowsTest, ChangesCountTheLastRowOfAStrikeAndStrikesThatCameOrWent) {
    PanelHarness h("EUR", common::MakeDate(2012, 12, 10));
    const auto row = [](const char* option, const char* strike, const char* oi, const char* date,
                        const char* contract = "DEC12-AM", const char* expiration = "14.12.2012") {
        Row r;
        r.option = option;
        r.strike = strike;
        r.oi = oi;
        r.volume = "50";
        r.date = date;
        r.contract = contract;
        r.expiration = expiration;
        return r;
    };
    h.Insert({
        row("CALL", "1.30", "100", "06.12.2012"),
        row("CALL", "1.31", "400", "06.12.2012"),
        row("CALL", "1.30", "90", "07.12.2012"),
        // A repeated strike line: the later one stands.
        row("CALL", "1.30", "300", "07.12.2012"),
        row("CALL", "1.32", "250", "07.12.2012"),
        row("PUT", "1.20", "", "07.12.2012"),
        row("CALL", "1.25", "500", "07.12.2012", "NOV12-AM", "30.11.2012"),
        row("CALL", "1.40", "700", "06.12.2012", "GONE-AM", "05.12.2012"),
    });
    const Board board =
        BuildBoard({{AnalysisInput(SettingsWith(1, 0), "EUR"), h.QuoteFile()}},
                   common::kInvalidDate, common::MakeDate(2012, 12, 10),
                   {.top = 10, .volume_floor = 100}, h.home.Folder(), h.host.AsHost());
    const SymbolBoard& eur = board.symbols.at(0);
    ASSERT_EQ(eur.contracts.size(), 2u);
    EXPECT_EQ(eur.contracts[0].contract, "NOV12-AM");
    EXPECT_TRUE(eur.contracts[0].front);
    EXPECT_FALSE(eur.contracts[0].previous);
    EXPECT_EQ(eur.contracts[1].contract, "DEC12-AM");
    EXPECT_EQ(*eur.contracts[1].days_to_expiry, 7);

    ASSERT_EQ(eur.call_build_ups.size(), 3u);
    EXPECT_EQ(eur.call_build_ups[0].contract, "NOV12-AM");
    EXPECT_EQ(eur.call_build_ups[0].Change(), 500);
    EXPECT_EQ(eur.call_build_ups[1].Change(), 250);  // 1.32 new
    EXPECT_EQ(eur.call_build_ups[2].Change(), 200);  // 1.30: 100 -> 300
    ASSERT_EQ(eur.call_unwinds.size(), 1u);
    EXPECT_EQ(eur.call_unwinds[0].strike, 1.31);  // gone from the day's rows
    EXPECT_EQ(eur.call_unwinds[0].oi, 0);
    EXPECT_EQ(eur.call_unwinds[0].previous_oi, 400);
    EXPECT_TRUE(eur.put_build_ups.empty());
    // Volume 50 against 500, 300 and 250; strikes at or under the floor are left out.
    ASSERT_EQ(eur.volume_to_oi.size(), 3u);
    EXPECT_DOUBLE_EQ(eur.volume_to_oi[0].ratio, 0.2);

    const Board picked = BuildBoard({{AnalysisInput(SettingsWith(1, 0), "EUR"), h.QuoteFile()}},
                                    common::MakeDate(2012, 12, 5), common::MakeDate(2012, 12, 10),
                                    {}, h.home.Folder(), h.host.AsHost());
    EXPECT_TRUE(picked.symbols.at(0).contracts.empty());
}

TEST(BoardRowsTest, AFileThatIsNoQuoteDatabaseFailsOnlyItsSymbol) {
    test::TempProgramFolder home;
    std::ofstream(home.Path() / "DB" / "GBP_data.lql") << "not a database";
    common::PlainHost host;
    const Board board = BuildBoard(
        {{AnalysisInput(SettingsWith(0, 0), "GBP"), home.Path() / "DB" / "GBP_data.lql"},
         {AnalysisInput(SettingsWith(0, 0), "AUD"), home.Path() / "DB" / "AUD_data.lql"}},
        common::kInvalidDate, common::MakeDate(2012, 12, 10), {}, home.Folder(), host.AsHost());
    ASSERT_EQ(board.symbols.size(), 2u);
    // Each names its file.
    for (const SymbolBoard& symbol : board.symbols) {
        EXPECT_FALSE(symbol.read.IsDone()) << symbol.symbol;
        EXPECT_NE(symbol.read.Reason().find(home.Path().string()), std::string::npos)
            << symbol.read.Reason();
    }
    EXPECT_EQ(board.date, common::kInvalidDate);
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
