#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analytics/day/day_context.h"
#include "analytics/volatility/contract_volatility.h"
#include "common/price_type.h"

namespace zarvex::analytics {

// A futures price (F, a band) as the panel shows prices: PriceByType with no premium, so
// "Futures" and "Standart" show it as it is and "Forex" quotes it as spot.
std::string ShownPrice(double futures_price, std::string_view symbol, double forward_point,
                       common::PriceType price_type);

// The futures price behind a price the panel shows: the shown number itself under "Futures"
// and "Standart", the Forex quotation turned back (forward point added, the inverted
// currencies inverted again) under "Forex". nullopt for zero, a negative result, or a symbol
// without a currency convention under "Forex".
std::optional<double> FuturesPriceOf(double shown, std::string_view symbol, double forward_point,
                                     common::PriceType price_type);

// The chance of the future finishing beyond each border, limit and level the left panel shows:
// above the upper ones and the CALL level, below the bottom ones and the PUT level, as shown in
// the panel's price type; and of its touching each before the expiration. Both read along the
// smooth smile (SmileProbability).
struct BeyondChances {
    std::optional<double> above_upper_limit;
    std::optional<double> above_upper_border;
    std::optional<double> below_bottom_border;
    std::optional<double> below_bottom_limit;
    std::optional<double> above_call_level;
    std::optional<double> below_put_level;
    std::optional<double> touch_upper_limit;
    std::optional<double> touch_upper_border;
    std::optional<double> touch_bottom_border;
    std::optional<double> touch_bottom_limit;
    std::optional<double> touch_call_level;
    std::optional<double> touch_put_level;
};

BeyondChances ChancesBeyond(const ContractVolatility& figures, const DayContext& context,
                            common::PriceType price_type);

}  // namespace zarvex::analytics
