#include "analytics/board/board_volatility.h"

#include "analytics/volatility/vol_history.h"
#include "analytics/volatility/volatility_store.h"

namespace zarvex::analytics {

namespace {

BoardVolatility Of(const VolHistoryDay& day) {
    return {{day.Cm30(), day.iv_rank, day.iv_percentile, day.rv20, day.vrp20}};
}

}  // namespace

std::optional<double> SymbolVolatility::ChangeOf(std::size_t index) const {
    if (!previous || !today.values[index] || !previous->values[index]) {
        return std::nullopt;
    }
    return *today.values[index] - *previous->values[index];
}

FigureValue BoardVolatility::Of(FigureId figure) const {
    const std::vector<FigureId>& symbol = FiguresIn(figure_output::kSymbol);
    for (std::size_t i = 0; i < symbol.size() && i < values.size(); ++i) {
        if (symbol[i] == figure) {
            return FigureValue::FromExact(values[i]);
        }
    }
    return FigureValue::FromExact(std::nullopt);
}

void SetSymbolFigures(const BoardVolatility& volatility, ContractDayFigures& day) {
    DayResult& result = day.result;
    result.cm30 = volatility.values[0];
    result.iv_rank = volatility.values[1];
    result.iv_percentile = volatility.values[2];
    result.rv20 = volatility.values[3];
    result.vrp20 = volatility.values[4];
    for (const FigureId id : FiguresIn(figure_output::kSymbol)) {
        day[id] = Figure(id).read(result);
    }
}

std::optional<SymbolVolatility> SymbolVolatilityOn(const common::ProgramFolder& folder,
                                                   std::string_view symbol, common::Date date,
                                                   common::Date previous, const HandedDay* handed) {
    const auto days = LoadVolatilityDays(folder, symbol, {}, handed);
    if (!days) {
        return std::nullopt;
    }
    const std::vector<VolHistoryDay> history = VolHistory(days->days);
    std::optional<SymbolVolatility> out;
    for (const VolHistoryDay& day : history) {
        if (day.date == date) {
            out.emplace();
            out->today = Of(day);
            out->handed = days->handed;
        }
    }
    if (out) {
        for (const VolHistoryDay& day : history) {
            if (day.date == previous) {
                out->previous = Of(day);
            }
        }
    }
    return out;
}

}  // namespace zarvex::analytics
