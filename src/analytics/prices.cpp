#include "analytics/prices.h"

#include <cmath>

#include "common/currency_conventions.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

using common::CurrencyConvention;
using common::PriceType;
using common::Side;

constexpr int kDecimals = 4;

double Value(const CurrencyConvention& convention, double strike, std::optional<Side> side,
             double premium, double forward_point, PriceType price_type) {
    if (price_type == PriceType::kStandart) {
        return strike;
    }
    if ((price_type != PriceType::kFutures && price_type != PriceType::kForex) || !side) {
        return 0.0;
    }
    // The strike shifted by the premium in the option's direction.
    double x = *side == Side::kCall ? strike + premium : strike - premium;
    if (price_type == PriceType::kFutures) {
        return x;
    }
    if (convention.InvertedUnderForex()) {
        // A zero price has no inverse; it is shown as no price at all.
        if (x == 0.0) {
            return 0.0;
        }
        x = convention.forex_inverse_numerator / x;
    }
    return x - forward_point * convention.forward_point;
}

// The price and its decimals; a price of 0 stands for "0", without decimals.
struct RawPrice {
    double value = 0.0;
    int decimals = 0;
};

RawPrice Price(double strike, std::string_view symbol, std::optional<Side> side, double premium,
               double forward_point, PriceType price_type) {
    const CurrencyConvention* convention = common::FindConvention(symbol);
    if (convention == nullptr) {
        return {};
    }
    const double value = Value(*convention, strike, side, premium, forward_point, price_type);
    if (value == 0.0 || !std::isfinite(value)) {
        return {};
    }
    return {value, price_type == PriceType::kForex ? convention->forex_decimals : kDecimals};
}

}  // namespace

PanelNumber PriceNumber(double strike, std::string_view symbol, std::optional<Side> side,
                        double premium, double forward_point, PriceType price_type) {
    const RawPrice price = Price(strike, symbol, side, premium, forward_point, price_type);
    return PanelNumber::Fixed(price.value, price.decimals);
}

std::string PriceByType(double strike, std::string_view symbol, std::optional<Side> side,
                        double premium, double forward_point, PriceType price_type) {
    const RawPrice price = Price(strike, symbol, side, premium, forward_point, price_type);
    return price.value == 0.0 ? "0" : common::FormatFixed(price.value, price.decimals);
}

}  // namespace zarvex::analytics
