#include "analytics/volatility/shown_prices.h"

#include <cmath>

#include "analytics/prices.h"
#include "analytics/volatility/smile_probability.h"
#include "common/currency_conventions.h"

namespace zarvex::analytics {

std::string ShownPrice(double futures_price, std::string_view symbol, double forward_point,
                       common::PriceType price_type) {
    return PriceByType(futures_price, symbol, common::Side::kCall, 0.0, forward_point, price_type);
}

std::optional<double> FuturesPriceOf(double shown, std::string_view symbol, double forward_point,
                                     common::PriceType price_type) {
    if (!std::isfinite(shown) || shown <= 0.0) {
        return std::nullopt;
    }
    double futures = shown;
    if (price_type == common::PriceType::kForex) {
        const common::CurrencyConvention* convention = common::FindConvention(symbol);
        if (convention == nullptr) {
            return std::nullopt;
        }
        futures = shown + forward_point * convention->forward_point;
        if (convention->InvertedUnderForex()) {
            futures = convention->forex_inverse_numerator / futures;
        }
    }
    if (!std::isfinite(futures) || futures <= 0.0) {
        return std::nullopt;
    }
    return futures;
}

namespace {

struct LevelChance {
    std::optional<double> beyond;
    std::optional<double> touch;
};

LevelChance Chance(const SmileProbability& probability, const DayContext& context,
                   common::PriceType price_type, const PanelNumber& shown, bool above) {
    if (!shown.IsNumber()) {
        return {};
    }
    const auto price =
        FuturesPriceOf(shown.Value(), context.symbol, context.forward_point, price_type);
    if (!price) {
        return {};
    }
    return {above ? probability.Above(*price) : probability.Below(*price),
            probability.Touch(*price)};
}

}  // namespace

BeyondChances ChancesBeyond(const ContractVolatility& figures, const DayContext& context,
                            common::PriceType price_type) {
    const SmileProbability probability(figures);
    BeyondChances chances;
    const auto set = [&](std::optional<double>& beyond, std::optional<double>& touch,
                         const PanelNumber& shown, bool above) {
        const LevelChance chance = Chance(probability, context, price_type, shown, above);
        beyond = chance.beyond;
        touch = chance.touch;
    };
    set(chances.above_upper_limit, chances.touch_upper_limit, context.upper_limit, true);
    set(chances.above_upper_border, chances.touch_upper_border, context.upper_border, true);
    set(chances.below_bottom_border, chances.touch_bottom_border, context.bottom_border, false);
    set(chances.below_bottom_limit, chances.touch_bottom_limit, context.bottom_limit, false);
    set(chances.above_call_level, chances.touch_call_level, context.call_level, true);
    set(chances.below_put_level, chances.touch_put_level, context.put_level, false);
    return chances;
}

}  // namespace zarvex::analytics
