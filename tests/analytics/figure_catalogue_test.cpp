#include "analytics/day/figure_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/board/alert_rules.h"
#include "analytics/board/levels_feed.h"
#include "left_panel_fixture.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

using namespace figure_output;

// The keys of an output's figures as the catalogue names them, in catalogue order.
std::vector<std::string> Keys(std::uint8_t output) {
    std::vector<std::string> keys;
    for (const FigureId id : FiguresIn(output)) {
        keys.emplace_back(Figure(id).key);
    }
    return keys;
}

// Each key occurs exactly once in `text`, as a JSON key, and in the order given.
void ExpectKeysInOrder(std::string_view text, const std::vector<std::string>& keys,
                       const std::string& what) {
    std::size_t last = 0;
    for (const std::string& key : keys) {
        const std::string quoted = "\"" + key + "\": ";
        const std::size_t at = text.find(quoted);
        ASSERT_NE(at, std::string_view::npos) << what << " lacks " << key << ": " << text;
        EXPECT_EQ(text.find(quoted, at + 1), std::string_view::npos) << what << " repeats " << key;
        EXPECT_GE(at, last) << what << ": " << key << " is out of the catalogue's order";
        last = at;
    }
}

std::vector<std::string> CsvHeader(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at <= line.size()) {
        const std::size_t comma = line.find(',', at);
        fields.emplace_back(
            line.substr(at, comma == std::string_view::npos ? line.size() - at : comma - at));
        if (comma == std::string_view::npos) {
            break;
        }
        at = comma + 1;
    }
    return fields;
}

// The commands on a folder of one contract over two days: every output the catalogue drives
// names exactly its figures, in the catalogue's order.
class CatalogueOutputs : public ::testing::Test {
protected:
    CatalogueOutputs() {
        Row call;
        call.oi = "500";
        call.volume = "20";
        Row put = call;
        put.option = "PUT";
        Row earlier = call;
        earlier.date = "06.12.2012";
        earlier.oi = "400";
        h.Insert({earlier, call, put});
    }

    test::CliOutcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", h.home.Path().string(), "--today", "20121210"});
        return test::RunCli(args);
    }

    PanelHarness h;
};

TEST_F(CatalogueOutputs, IndicatorsAndHistoryJsonHoldEveryFigureOfTheirsOnceInOrder) {
    const test::CliOutcome indicators =
        Run({"indicators", "--symbol", "EUR", "--date", kDay, "--contract", kContract});
    ASSERT_EQ(indicators.status, 0) << indicators.err;
    ExpectKeysInOrder(indicators.out, Keys(kIndicators), "indicators");

    const test::CliOutcome history =
        Run({"history", "--symbol", "EUR", "--contract", kContract, "--from", kDay});
    ASSERT_EQ(history.status, 0) << history.err;
    ExpectKeysInOrder(history.out, Keys(kHistory), "history");
}

TEST_F(CatalogueOutputs, HistoryCsvHeaderIsTheCatalogueOfHistory) {
    const test::CliOutcome csv =
        Run({"history", "--symbol", "EUR", "--contract", kContract, "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string header = csv.out.substr(0, csv.out.find("\r\n"));
    EXPECT_EQ(CsvHeader(header), Keys(kHistory));
    // Every line has a cell per column.
    const std::string first_day = csv.out.substr(header.size() + 2);
    EXPECT_EQ(CsvHeader(first_day.substr(0, first_day.find("\r\n"))).size(), Keys(kHistory).size());
}

TEST_F(CatalogueOutputs, BoardComparesItsFiguresAndFeedsThemOnInOrder) {
    const test::CliOutcome board = Run({"board", "--symbol", "EUR"});
    ASSERT_EQ(board.status, 0) << board.err;
    const std::size_t contract = board.out.find("\"contracts\": [{");
    const std::size_t change = board.out.find("\"change\": {");
    const std::size_t previous = board.out.find("\"previous\": {");
    ASSERT_NE(contract, std::string::npos) << board.out;
    ASSERT_LT(change, previous) << board.out;
    const std::string today = board.out.substr(contract, change - contract);
    ExpectKeysInOrder(today, Keys(kCompared), "board");
    for (const std::string& key : Keys(kBoard)) {
        EXPECT_NE(today.find("\"" + key + "\": "), std::string::npos) << key;
    }
    ExpectKeysInOrder(board.out.substr(change, previous - change), Keys(kCompared), "change");
    // A symbol's figures across days stand once per symbol, after its lists, each with its
    // change.
    const std::size_t lists = board.out.find("\"volume_to_oi\": ");
    ASSERT_NE(lists, std::string::npos);
    ExpectKeysInOrder(board.out.substr(lists), Keys(kSymbol), "symbol");
    for (const std::string& key : Keys(kSymbol)) {
        EXPECT_EQ(board.out.find("\"" + key + "\": "), board.out.find("\"" + key + "\": ", lists))
            << key << " stands in a contract";
        EXPECT_NE(board.out.find("\"" + key + "_change\": ", lists), std::string::npos) << key;
    }
    EXPECT_EQ(Keys(kSymbol),
              std::vector<std::string>(kBoardVolatilityKeys.begin(), kBoardVolatilityKeys.end()));

    // The feed: the contract's columns, then its figures in the order of their columns.
    const SymbolBoard none;
    const std::string feed = LevelsFeedCsv(none);
    const std::size_t header = feed.find("\r\n") + 2;
    std::vector<std::string> expected{"symbol", "date", "contract", "expiration", "days_to_expiry"};
    for (const FigureId id : FiguresByPosition(&FigureEntry::feed_column)) {
        expected.emplace_back(Figure(id).key);
    }
    EXPECT_EQ(CsvHeader(feed.substr(header, feed.find("\r\n", header) - header)), expected);
}

// The alert rules take exactly the board's compared figures and the symbols' figures across
// days, and their file's header names each of them.
TEST(CatalogueAlertFigures, AreTheComparedFiguresAndTheHeaderNamesThemAll) {
    const std::string_view header = AlertRulesFileHeader();
    for (std::size_t i = 0; i < FigureCatalogue().size(); ++i) {
        const FigureEntry& entry = FigureCatalogue()[i];
        const AlertRules rules =
            ParseAlertRules("EUR front " + std::string(entry.key) + " above 1\n");
        const bool compared = entry.In(kCompared | kSymbol);
        EXPECT_EQ(rules.rules.size(), compared ? 1u : 0u) << entry.key;
        if (compared) {
            EXPECT_EQ(rules.rules[0].figure, static_cast<FigureId>(i));
            const std::string word = " " + std::string(entry.key);
            EXPECT_TRUE(header.find(word + "\n") != std::string_view::npos ||
                        header.find(word + " ") != std::string_view::npos)
                << entry.key;
        }
    }
    // The header stays within its width, so that an editor shows it whole.
    std::size_t at = 0;
    while (at < header.size()) {
        const std::size_t end = header.find('\n', at);
        EXPECT_LE(end - at, 84u) << header.substr(at, end - at);
        at = end + 1;
    }
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
