#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analytics/day/day_result.h"
#include "analytics/day/figure_value.h"

namespace zarvex::analytics {

// How a figure is written: a JSON string, integer or number, and its CSV cell.
enum class FigureForm : std::uint8_t {
    kDate,   // the day as "%dd.%mm.%yyyy"
    kText,   // a text as stored (the expiration) or a shown price (the bands)
    kPanel,  // a panel cell: its text with the cell's decimals
    kCount,  // a whole number; an empty text where it could not be summed
    kShort,  // a number written shortest (a JSON number; the CSV without trailing zeros)
    kExact,  // a number in full as another program checks it, or null
};

// The outputs that take a figure in catalogue order.
namespace figure_output {
inline constexpr std::uint8_t kIndicators = 1;  // `indicators`
inline constexpr std::uint8_t kHistory = 2;     // `history` JSON and CSV, the History table
// Shown (not a hidden column) in the window's History table.
inline constexpr std::uint8_t kHistoryTable = 4;
// Compared with the previous day on the board: its JSON, its "change", the window's arrows
// and the alert rules' figure names.
inline constexpr std::uint8_t kCompared = 8;
// In the board's JSON without being compared.
inline constexpr std::uint8_t kBoard = 16;
// The symbol's across its stored days, one value for all its contracts: the board gives it once
// per symbol with its change, and the alert rules name it like a compared figure.
inline constexpr std::uint8_t kSymbol = 32;
}  // namespace figure_output

// One figure of a day. The positions place a figure in the outputs whose order is their own
// (1 first; 0: not there).
struct FigureEntry {
    std::string_view key;  // its name in every JSON, CSV header and alert rule
    int caption = -1;      // interface text entry (common/text_id.h); -1 for none
    FigureForm form = FigureForm::kPanel;
    std::uint8_t outputs = 0;
    // After the compared figures of the board's JSON.
    std::uint8_t board_tail = 0;
    // Among the levels feed's columns after the contract's own.
    std::uint8_t feed_column = 0;
    // Among the figure columns of the window's board summary.
    std::uint8_t board_column = 0;
    FigureValue (*read)(const DayResult&) = nullptr;

    bool In(std::uint8_t output) const { return (outputs & output) != 0; }
};

// A figure's place in the catalogue.
enum class FigureId : std::uint16_t {};

// Every figure of a day, in the order of `history`'s columns.
std::span<const FigureEntry> FigureCatalogue();
const FigureEntry& Figure(FigureId id);
std::optional<FigureId> FigureByKey(std::string_view key);

// The figures of an output, in catalogue order.
const std::vector<FigureId>& FiguresIn(std::uint8_t output);
// The figures that have a position, in the order of their positions.
std::vector<FigureId> FiguresByPosition(std::uint8_t FigureEntry::*position);

// Every figure of the day, by catalogue place.
std::vector<FigureValue> FigureValues(const DayResult& day);

}  // namespace zarvex::analytics
