#include "analytics/board/levels_feed.h"

#include <iterator>

#include "analytics/history/history_table.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// The contract's own columns, before its figures.
constexpr std::string_view kContractColumns[] = {
    "symbol", "date", "contract", "expiration", "days_to_expiry",
};

const std::vector<FigureId>& FeedFigures() {
    static const std::vector<FigureId> figures = FiguresByPosition(&FigureEntry::feed_column);
    return figures;
}

std::string Cell(const FigureValue& value) {
    return std::string(common::Trim(value.text));
}

}  // namespace

const std::vector<std::string_view>& LevelsFeedColumns() {
    static const std::vector<std::string_view> columns = [] {
        std::vector<std::string_view> names(std::begin(kContractColumns),
                                            std::end(kContractColumns));
        for (const FigureId id : FeedFigures()) {
            names.push_back(Figure(id).key);
        }
        return names;
    }();
    return columns;
}

std::string LevelsFeedCsv(const SymbolBoard& board) {
    std::string out = "# zarvex levels feed version " + std::to_string(kLevelsFeedVersion) + "\r\n";
    bool first = true;
    for (const std::string_view column : LevelsFeedColumns()) {
        out += (first ? "" : ",") + std::string(column);
        first = false;
    }
    out += "\r\n";
    for (const BoardContract& contract : board.contracts) {
        std::vector<std::string> cells{
            board.symbol,
            common::DayText(board.date),
            contract.contract,
            contract.expiration,
            contract.days_to_expiry ? std::to_string(*contract.days_to_expiry) : "",
        };
        for (const FigureId figure : FeedFigures()) {
            cells.push_back(Cell(contract.today[figure]));
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i == 0 ? "" : ",") + CsvField(cells[i]);
        }
        out += "\r\n";
    }
    return out;
}

std::string LevelsFeedFileName(std::string_view symbol) {
    return std::string(symbol) + "_levels.csv";
}

}  // namespace zarvex::analytics
