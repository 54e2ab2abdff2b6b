#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/stored_rows.h"
#include "common/date.h"

namespace zarvex::analytics {

// The figures of a contract that the board shows, compares with the previous day, feeds to
// the alerts and writes to the levels feed. The volatility figures are empty where the day's
// premiums give none.
enum class BoardFigure : std::uint8_t {
    kCallLevel,
    kPutLevel,
    kWidthMarket,
    kDeltaBalance,
    kUpperLimit,
    kUpperBorder,
    kChannelCenter,
    kBottomBorder,
    kBottomLimit,
    kRatioOi,
    kRatioVolume,
    kRatioAvgPrice,
    kMaxPain,
    kCallOi,
    kPutOi,
    kCallVolume,
    kPutVolume,
    kAtmVol,
    kExpectedMove,
};
inline constexpr std::size_t kBoardFigureCount = 19;

// The name of a figure in the board's JSON, the feed's header and the alert rules (the names
// `indicators` and `history` use where they have the figure).
std::string_view BoardFigureKey(BoardFigure figure);
std::optional<BoardFigure> BoardFigureByKey(std::string_view key);
const std::array<BoardFigure, kBoardFigureCount>& AllBoardFigures();

// One figure: the text as the left panel (or `history`) shows it, and that text as a number
// with its decimals; no number for an empty cell. The volatility figures have no text of the
// panel's: they are `exact` numbers, written in full as `vol` and `indicators` give them.
struct BoardValue {
    std::string text;
    std::optional<double> number;
    int decimals = 0;
    bool exact = false;

    static BoardValue FromText(std::string text);
    static BoardValue FromInt(std::int64_t value);
    // An empty value for nullopt or a number that is not finite.
    static BoardValue FromExact(std::optional<double> value);
};

// Today's value less the previous day's, rounded to the finer of the two texts' decimals (the
// plain difference where either is exact); nullopt unless both are numbers.
std::optional<double> Change(const BoardValue& today, const BoardValue& previous);

// Everything the board knows of one contract on one day.
struct ContractDayFigures {
    common::Date day = common::kInvalidDate;
    std::string expiration;  // as stored
    double forward_point = 0.0;
    std::array<BoardValue, kBoardFigureCount> values;
    std::int64_t upper_border_strike = 0;
    std::int64_t bottom_border_strike = 0;
    std::int64_t upper_limit_strike = 0;
    std::int64_t bottom_limit_strike = 0;
    double max_pain_strike = 0.0;
    // The one-sigma band of the expected move, as the panel's prices; empty without an expected
    // move.
    BoardValue band_low;
    BoardValue band_high;
    // A SUM of the day overflowed: the sums and ratios are left empty.
    bool overflow = false;

    const BoardValue& operator[](BoardFigure figure) const {
        return values[static_cast<std::size_t>(figure)];
    }
    BoardValue& operator[](BoardFigure figure) { return values[static_cast<std::size_t>(figure)]; }
};

// The figures of a contract on one of its days, computed from the rows in memory exactly as
// the left panel computes them for that day and contract (what `indicators` and `history`
// show) with the input's symbol and settings; `positions` are the day's rows of the contract,
// `forward_point` the one the panel resolves for the day (ResolveForwardPoint).
ContractDayFigures ComputeContractDay(const ContractRows& rows,
                                      const std::vector<std::size_t>& positions, common::Date day,
                                      const AnalysisInput& input, double forward_point);

}  // namespace zarvex::analytics
