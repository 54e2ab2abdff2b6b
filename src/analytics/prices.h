#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analytics/panel_number.h"
#include "common/price_type.h"
#include "common/side.h"

namespace zarvex::analytics {

// The price shown for a strike, as text with a decimal point (4 decimals; JPY under Forex 2).
// A value of zero, a symbol without a currency convention, no side under Futures and Forex,
// and a price type that is none of the three all give "0". The currencies quoted the other way
// round invert the price under Forex; an inverted price of zero (strike + premium = 0) has no
// quotation and also gives "0", never an infinity.
std::string PriceByType(double strike, std::string_view symbol, std::optional<common::Side> side,
                        double premium, double forward_point, common::PriceType price_type);
// The same price as a number; "0" is the whole number 0.
PanelNumber PriceNumber(double strike, std::string_view symbol, std::optional<common::Side> side,
                        double premium, double forward_point, common::PriceType price_type);

}  // namespace zarvex::analytics
