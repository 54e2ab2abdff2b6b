#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analytics/board/board.h"

namespace zarvex::analytics {

// The levels feed format's version, written in its first line; raised when a column changes
// meaning or place, or columns are added (only ever at the end). Version 2 added cm30 and
// iv_rank, the symbol's across its stored days.
inline constexpr int kLevelsFeedVersion = 2;

// The feed's columns, in order.
const std::vector<std::string_view>& LevelsFeedColumns();

// A symbol's feed file for trading terminals: "# zarvex levels feed version 2", a header line
// of the columns, then one line per contract of the board, nearest expiration first. Prices as
// the left panel shows them (decimal point, the instrument's price type), empty where the panel
// is; CRLF line ends.
std::string LevelsFeedCsv(const SymbolBoard& board);

// The file name of a symbol's feed: "EUR_levels.csv".
std::string LevelsFeedFileName(std::string_view symbol);

}  // namespace zarvex::analytics
