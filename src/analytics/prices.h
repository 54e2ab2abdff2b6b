#pragma once

#include <string>
#include <string_view>

#include "analytics/panel_number.h"

namespace zarvex::analytics {

// The price types of the settings ("Futures", "Standart", "Forex"), stored as one byte.
inline constexpr int kPriceFutures = 0;   // strike + premium for a CALL, strike - premium for a PUT
inline constexpr int kPriceStandart = 1;  // the strike itself
inline constexpr int kPriceForex = 2;     // as Futures, then quoted as spot with the forward point

// The price shown for a strike, as text with a decimal point (4 decimals; JPY under Forex 2).
// A value of zero, a symbol other than EUR, GBP, AUD, CAD, CHF, JPY, an option other than
// "CALL"/"PUT" under Futures and Forex, and an unknown price type all give "0". CAD, CHF and JPY
// invert the price under Forex; an inverted price of zero (strike + premium = 0) has no
// quotation and also gives "0", never an infinity.
std::string PriceByType(double strike, std::string_view symbol, std::string_view option,
                        double premium, double forward_point, int price_type);
// The same price as a number; "0" is the whole number 0.
PanelNumber PriceNumber(double strike, std::string_view symbol, std::string_view option,
                        double premium, double forward_point, int price_type);

}  // namespace zarvex::analytics
