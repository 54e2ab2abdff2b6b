#include "analytics/board/levels_feed.h"

#include "analytics/history/history_table.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr BoardFigure kPriceColumns[] = {
    BoardFigure::kCallLevel,     BoardFigure::kPutLevel,     BoardFigure::kUpperBorder,
    BoardFigure::kBottomBorder,  BoardFigure::kUpperLimit,   BoardFigure::kBottomLimit,
    BoardFigure::kChannelCenter, BoardFigure::kDeltaBalance, BoardFigure::kMaxPain,
};

std::string Cell(const BoardValue& value) {
    return std::string(common::Trim(value.text));
}

}  // namespace

const std::vector<std::string_view>& LevelsFeedColumns() {
    static const std::vector<std::string_view> columns{
        "symbol",       "date",           "contract",      "expiration",    "days_to_expiry",
        "call_level",   "put_level",      "upper_border",  "bottom_border", "upper_limit",
        "bottom_limit", "channel_center", "delta_balance", "max_pain",      "atm_vol",
        "band_low",     "band_high",
    };
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
        for (const BoardFigure figure : kPriceColumns) {
            cells.push_back(Cell(contract.today[figure]));
        }
        cells.push_back(Cell(contract.today[BoardFigure::kAtmVol]));
        cells.push_back(Cell(contract.today.band_low));
        cells.push_back(Cell(contract.today.band_high));
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
