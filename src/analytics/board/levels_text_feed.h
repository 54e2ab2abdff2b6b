#pragma once

#include <string>
#include <string_view>

#include "analytics/board/board.h"

namespace zarvex::analytics {

// A terminal draws one contract's levels: the nearest expiration that still has at least this
// many calendar days left, since the levels of a contract about to expire say little of where
// the market will trade next week.
inline constexpr int kTerminalFrontMinDays = 5;

// The contract whose levels the text feed holds: the nearest expiration with at least
// kTerminalFrontMinDays days left; among contracts of that expiration the larger total open
// interest, then the smaller code. Null when no contract has that many days left.
const BoardContract* TerminalFront(const SymbolBoard& board);

// The text feed of a symbol for the level-file indicators of trading terminals: one line
// "PRICE<TAB>LABEL" per level of the terminal front contract that has a price, LABEL the
// figure's English name and the contract code ("1.3921\tCALL level MAR27-EU"), prices as the
// left panel shows them; CRLF line ends. Empty without a terminal front contract.
std::string LevelsTextFeed(const SymbolBoard& board);

// "EUR_levels.txt".
std::string LevelsTextFeedFileName(std::string_view symbol);

}  // namespace zarvex::analytics
