#pragma once

#include <string>
#include <string_view>

#include "analytics/board/board.h"

namespace zarvex::analytics {

// The JSON feed of a symbol, for scripts: {"version", "symbol", "date", "front", "contracts"},
// "front" the code of the terminal front contract (TerminalFront; null without one) and a
// contract per line of the CSV feed with the CSV's columns as keys: the dates and prices as
// the texts the CSV holds (null where it holds none), days_to_expiry, atm_vol, cm30 and
// iv_rank as numbers.
// One line, ending with a line feed.
std::string LevelsJsonFeed(const SymbolBoard& board);

// "EUR_levels.json".
std::string LevelsJsonFeedFileName(std::string_view symbol);

}  // namespace zarvex::analytics
