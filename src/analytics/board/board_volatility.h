#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "analytics/board/board_figures.h"
#include "analytics/day/figure_catalogue.h"
#include "analytics/day/figure_value.h"
#include "analytics/volatility/handed_day.h"
#include "common/date.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// The volatility across days that the board shows per symbol (see vol --history).
struct BoardVolatility {
    // cm30, iv_rank, iv_percentile, rv20, vrp20, in the order of kBoardVolatilityKeys.
    std::array<std::optional<double>, 5> values{};

    // The value of one of the catalogue's symbol figures (figure_output::kSymbol), as the
    // catalogue reads it; an empty value for any other figure.
    FigureValue Of(FigureId figure) const;
};
// The catalogue's symbol figures (figure_output::kSymbol), in its order.
inline constexpr std::array<std::string_view, 5> kBoardVolatilityKeys{
    "cm30", "iv_rank", "iv_percentile", "rv20", "vrp20"};

struct SymbolVolatility {
    BoardVolatility today;
    std::optional<BoardVolatility> previous;
    // The store took the board's solved day instead of solving it again.
    bool handed = false;

    // Today's value less the previous day's; nullopt unless both are there.
    std::optional<double> ChangeOf(std::size_t index) const;
};

// Gives a contract's day the symbol's figures of that day, so that every output reading a
// contract's figures by the catalogue (the levels feed) has them.
void SetSymbolFigures(const BoardVolatility& volatility, ContractDayFigures& day);

// The figures of `date` and of `previous` (kInvalidDate: none) from the symbol's volatility
// store; nullopt when the quote rows cannot be read or the day is not stored. `handed`, the
// day's term structure the board solved, spares the store solving it again.
std::optional<SymbolVolatility> SymbolVolatilityOn(const common::ProgramFolder& folder,
                                                   std::string_view symbol, common::Date date,
                                                   common::Date previous,
                                                   const HandedDay* handed = nullptr);

}  // namespace zarvex::analytics
