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

std::optional<SymbolVolatility> SymbolVolatilityOn(const common::ProgramFolder& folder,
                                                   std::string_view symbol, common::Date date,
                                                   common::Date previous) {
    const auto days = LoadVolatilityDays(folder, symbol);
    if (!days) {
        return std::nullopt;
    }
    const std::vector<VolHistoryDay> history = VolHistory(days->days);
    std::optional<SymbolVolatility> out;
    for (const VolHistoryDay& day : history) {
        if (day.date == date) {
            out.emplace();
            out->today = Of(day);
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
