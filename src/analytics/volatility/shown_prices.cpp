#include "analytics/volatility/shown_prices.h"

#include <cmath>

#include "analytics/prices.h"

namespace zarvex::analytics {

std::string ShownPrice(double futures_price, std::string_view symbol, double forward_point,
                       int price_type) {
    return PriceByType(futures_price, symbol, "CALL", 0.0, forward_point, price_type);
}

std::optional<double> FuturesPriceOf(double shown, std::string_view symbol, double forward_point,
                                     int price_type) {
    if (!std::isfinite(shown) || shown <= 0.0) {
        return std::nullopt;
    }
    double futures = shown;
    if (price_type == kPriceForex) {
        if (symbol == "EUR" || symbol == "AUD" || symbol == "GBP") {
            futures = shown + forward_point * 0.0001;
        } else if (symbol == "CAD" || symbol == "CHF") {
            futures = 1.0 / (shown + forward_point * 0.0001);
        } else if (symbol == "JPY") {
            futures = 100.0 / (shown + forward_point * 0.01);
        } else {
            return std::nullopt;
        }
    }
    if (!std::isfinite(futures) || futures <= 0.0) {
        return std::nullopt;
    }
    return futures;
}

namespace {

std::optional<double> Chance(const ContractVolatility& figures, const DayContext& context,
                             int price_type, const PanelNumber& shown, bool above) {
    if (!shown.IsNumber()) {
        return std::nullopt;
    }
    const auto price =
        FuturesPriceOf(shown.Value(), context.symbol, context.forward_point, price_type);
    if (!price) {
        return std::nullopt;
    }
    const auto chance = ProbabilityAbove(figures, *price);
    if (!chance) {
        return std::nullopt;
    }
    return above ? *chance : 1.0 - *chance;
}

}  // namespace

BeyondChances ChancesBeyond(const ContractVolatility& figures, const DayContext& context,
                            int price_type) {
    BeyondChances chances;
    chances.above_upper_limit = Chance(figures, context, price_type, context.upper_limit, true);
    chances.above_upper_border = Chance(figures, context, price_type, context.upper_border, true);
    chances.below_bottom_border =
        Chance(figures, context, price_type, context.bottom_border, false);
    chances.below_bottom_limit = Chance(figures, context, price_type, context.bottom_limit, false);
    chances.above_call_level = Chance(figures, context, price_type, context.call_level, true);
    chances.below_put_level = Chance(figures, context, price_type, context.put_level, false);
    return chances;
}

}  // namespace zarvex::analytics
