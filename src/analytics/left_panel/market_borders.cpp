#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/quote_queries.h"
#include "analytics/prices.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr std::string_view kBalancePut =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND delta <0.76 AND "
    "delta > 0.24";
constexpr std::string_view kBalanceCall =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND delta <0.76 "
    "AND delta > 0.24";

struct BorderQueries {
    std::string_view option;
    std::string_view max_oi;
    // Looks the strike up by its open interest alone: among several options with that open
    // interest the first in row order wins, whatever their price or delta.
    std::string_view strike_by_oi;
};

constexpr BorderQueries kUpperBorder{
    "CALL",
    "SELECT MAX(oi) FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND price <> "
    "0 AND  delta <> 0 AND delta <> 1",
    "SELECT strike FROM dating WHERE date = ? AND contract = ? AND oi = ? AND option = 'CALL'",
};
constexpr BorderQueries kBottomBorder{
    "PUT",
    "SELECT MAX(oi) FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND price <> "
    "0 AND  delta <> 0 AND delta <> 1",
    "SELECT strike FROM dating WHERE date = ? AND contract = ? AND oi = ? AND option = 'PUT'",
};

constexpr std::string_view kUpperLimit =
    "SELECT MAX(strike) FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND oi > "
    "0 AND  delta > 0.003 AND price > 0";
constexpr std::string_view kBottomLimit =
    "SELECT MIN(strike) FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND oi > 0 "
    "AND  delta > 0.003  AND delta < 0.997 AND price > 0 ";

// The strike whose delta lies nearest to 0.5, the first in row order among equals; 0.0 when
// no row passes. Distances are compared at ten decimals, so that deltas stored as 0.30 and
// 0.70 are equally far from 0.5 rather than apart by a rounding error of binary fractions.
std::optional<double> BalanceStrike(const storage::Database& db, const DayContext& context,
                                    std::string_view sql) {
    storage::Statement rows = quotes::Query(db, sql, {context.date, context.contract});
    double best = 1.0;
    double strike = 0.0;
    while (rows.Step()) {
        const double distance =
            std::round(std::fabs(quotes::ReadDouble(rows, quotes::kDelta) - 0.5) * 1e10) / 1e10;
        if (distance < best) {
            best = distance;
            strike = quotes::ReadDouble(rows, quotes::kStrike);
        }
    }
    if (rows.Failed()) {
        return std::nullopt;
    }
    return strike;
}

struct Found {
    PanelNumber price;
    std::int64_t strike = 0;
};

// The shown price of an option at the strike (premium looked up on the day), or nothing when
// the strike is not positive.
std::optional<Found> PriceAt(const storage::Database& db, const DayContext& context,
                             std::string_view option, double strike) {
    if (!(strike > 0.0)) {
        return Found{};
    }
    const std::optional<double> premium =
        quotes::Premium(db, option, context.contract, context.date, quotes::StrikeText(strike));
    if (!premium) {
        return std::nullopt;
    }
    return Found{PriceNumber(strike, context.symbol, option, *premium, context.forward_point,
                             context.price_type),
                 quotes::RoundedStrike(strike)};
}

// The strike with the largest open interest of one side, as a shown price.
std::optional<Found> Border(const storage::Database& db, const DayContext& context,
                            const BorderQueries& q) {
    const std::optional<std::int64_t> max_oi =
        quotes::AggregateInt(db, q.max_oi, "oi", {context.date, context.contract});
    if (!max_oi) {
        return std::nullopt;
    }
    double strike = 0.0;
    if (*max_oi > 0) {
        const std::string oi_text = std::to_string(*max_oi);
        const std::optional<double> found =
            quotes::ScalarDouble(db, q.strike_by_oi, {context.date, context.contract, oi_text});
        if (!found) {
            return std::nullopt;
        }
        strike = *found;
    }
    return PriceAt(db, context, q.option, strike);
}

std::optional<Found> Limit(const storage::Database& db, const DayContext& context,
                           std::string_view sql, std::string_view option) {
    const std::optional<double> strike =
        quotes::AggregateDouble(db, sql, "strike", {context.date, context.contract});
    if (!strike) {
        return std::nullopt;
    }
    return PriceAt(db, context, option, *strike);
}

bool IsZeroSpelling(const std::string& text, std::initializer_list<std::string_view> zeros) {
    const std::string_view trimmed = common::Trim(text);
    if (trimmed.empty()) {
        return true;
    }
    for (std::string_view zero : zeros) {
        if (trimmed == zero) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ChannelFromBorders(DayContext& context) {
    if (BottomBorderIsZero(context.bottom_border) || UpperBorderIsZero(context.upper_border)) {
        context.channel_center = PanelNumber();
        context.width_market = PanelNumber();
        return;
    }
    const int decimals = context.bottom_border.Decimals();
    const double bottom = context.bottom_border.Value();
    const double upper = context.upper_border.Value();
    context.channel_center = PanelNumber::Fixed((bottom + upper) / 2.0, decimals);

    const double scale = std::pow(10.0, decimals);
    // Ties go to the even neighbour, the default rounding of the floating-point unit.
    double width = std::fabs(std::nearbyint(upper * scale) - std::nearbyint(bottom * scale));
    if (decimals == 0 && context.symbol != "WTI") {
        width *= 10.0;
    }
    context.width_market = PanelNumber::Fixed(width, 0);
}

namespace {

bool IsInverseQuotation(const DayContext& context) {
    return context.price_type == kPriceForex &&
           (context.symbol == "JPY" || context.symbol == "CHF" || context.symbol == "CAD");
}

}  // namespace

bool UpperBorderIsZero(const std::string& text) {
    return IsZeroSpelling(text, {"0.0", "0", "0.00000", "0.00", "0.0000000"});
}

bool BottomBorderIsZero(const std::string& text) {
    return IsZeroSpelling(text, {"0.0", "0", "0.0000", "0.00", "0.000000"});
}

bool UpperBorderIsZero(const PanelNumber& border) {
    return !border.IsNumber() || UpperBorderIsZero(border.Text());
}

bool BottomBorderIsZero(const PanelNumber& border) {
    return !border.IsNumber() || BottomBorderIsZero(border.Text());
}

bool CalculateMarketBorders(const storage::Database& db, DayContext& context,
                            const common::Host& host) {
    std::optional<double> balance = BalanceStrike(db, context, kBalancePut);
    if (balance && !(*balance > 0.0)) {
        balance = BalanceStrike(db, context, kBalanceCall);
    }
    if (!balance) {
        return false;
    }
    context.delta_balance = *balance > 0.0 ? PriceNumber(*balance, context.symbol, "PUT", 0.0,
                                                         context.forward_point, context.price_type)
                                           : PanelNumber();
    host.PumpEvents();

    const std::optional<Found> upper = Border(db, context, kUpperBorder);
    if (!upper) {
        return false;
    }
    context.upper_border = upper->price;
    context.upper_border_strike = upper->strike;
    host.PumpEvents();

    const std::optional<Found> bottom = Border(db, context, kBottomBorder);
    if (!bottom) {
        return false;
    }
    context.bottom_border = bottom->price;
    context.bottom_border_strike = bottom->strike;
    host.PumpEvents();

    ChannelFromBorders(context);
    host.PumpEvents();

    const std::optional<Found> upper_limit = Limit(db, context, kUpperLimit, "CALL");
    if (!upper_limit) {
        return false;
    }
    context.upper_limit = upper_limit->price;
    context.upper_limit_strike = upper_limit->strike;
    host.PumpEvents();

    const std::optional<Found> bottom_limit = Limit(db, context, kBottomLimit, "PUT");
    if (!bottom_limit) {
        return false;
    }
    context.bottom_limit = bottom_limit->price;
    context.bottom_limit_strike = bottom_limit->strike;
    host.PumpEvents();

    // Under Forex a higher strike of these currencies is a lower price: the prices change
    // sides, the strikes, the channel and the width stay.
    if (IsInverseQuotation(context)) {
        std::swap(context.upper_border, context.bottom_border);
        std::swap(context.upper_limit, context.bottom_limit);
    }
    return true;
}

}  // namespace zarvex::analytics
