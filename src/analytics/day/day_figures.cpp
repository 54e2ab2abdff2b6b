#include "analytics/day/day_figures.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "analytics/day/quote_queries.h"
#include "analytics/prices.h"
#include "common/currency_conventions.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

using common::PriceType;
using common::Side;

bool OnSide(const StoredOption& row, Side side) {
    return row.side == side;
}

// The database's conversion of a REAL to an integer: toward zero, held within range.
std::int64_t RealToInt(double value) {
    if (!(value > -9.2e18)) {
        return std::isnan(value) ? 0 : std::numeric_limits<std::int64_t>::min();
    }
    if (value >= 9.2e18) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(value);
}

// What MAX() or MIN() of a column gives over some values, read by the panel's aggregate
// readers: numbers order below texts; a text result that does not read as a number makes the
// reader ask again over the numbers alone; no value at all reads as 0.
class Extreme final {
public:
    explicit Extreme(bool maximum) : maximum_(maximum) {}

    void Add(const StoredValue& value) {
        if (value.kind == StoredValue::Kind::kText) {
            if (text_ == nullptr ||
                (maximum_ ? value.text > text_->text : value.text < text_->text)) {
                text_ = &value;
            }
        } else if (value.IsNumber()) {
            if (number_ == nullptr || (maximum_ ? value.Number() > number_->Number()
                                                : value.Number() < number_->Number())) {
                number_ = &value;
            }
        }
    }

    // The value the aggregate comes back with, after the reader's second try; null for none.
    const StoredValue* Result() const {
        const StoredValue* first = maximum_ ? (text_ != nullptr ? text_ : number_)
                                            : (number_ != nullptr ? number_ : text_);
        if (first != nullptr && first->kind == StoredValue::Kind::kText &&
            !common::ParseDouble(first->text)) {
            return number_;
        }
        return first;
    }

private:
    bool maximum_;
    const StoredValue* text_ = nullptr;
    const StoredValue* number_ = nullptr;
};

void Pump(const common::Host* host) {
    if (host != nullptr) {
        host->PumpEvents();
    }
}

PanelNumber RatioNumber(double ratio) {
    return ratio > 0.0 && std::isfinite(ratio) ? PanelNumber::Fixed(ratio, 4) : PanelNumber();
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

// Under Forex a higher strike of these currencies is a lower price: the prices of the borders
// and limits change sides, the strikes, the channel and the width stay.
bool IsInverseQuotation(const DayContext& context, PriceType price_type) {
    return price_type == PriceType::kForex && common::InvertedUnderForex(context.symbol);
}

}  // namespace

std::int64_t DayFigures::Count(Side side) const {
    std::int64_t count = 0;
    for (const std::size_t i : day_) {
        count += OnSide(rows_[i], side) ? 1 : 0;
    }
    return count;
}

double DayFigures::Premium(Side side, double strike) const {
    // The lookup binds the strike as a short text, which the numeric column reads back as a
    // number.
    const double bound = common::ToDouble(quotes::StrikeText(strike));
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (OnSide(row, side) && row.strike.Equal(bound)) {
            return row.price.as_double;
        }
    }
    return 0.0;
}

PanelNumber DayFigures::Level(Side side, const DayContext& context, PriceType price_type) const {
    // Room for three times the day's strikes, because the other days of the contract bring
    // strikes of their own.
    const LevelStrikes& levels = side == Side::kCall ? contract_.call_levels : contract_.put_levels;
    const double strike = levels.StrikeFor(3 * Count(side) + 1);
    const double premium = Premium(side, strike);
    return strike > 0.0 ? PriceNumber(strike, context.symbol, side, premium, context.forward_point,
                                      price_type)
                        : PanelNumber::Blank();
}

void DayFigures::BasicIndicators(const settings::Settings& settings, DayContext& context) const {
    context.expiration = contract_.expiration;
    context.call_level =
        Level(Side::kCall, context, common::PriceTypeFromCode(settings.price_type));
    context.put_level = Level(Side::kPut, context, common::PriceTypeFromCode(settings.price_type));
}

double DayFigures::BalanceStrike(Side side) const {
    double best = 1.0;
    double strike = 0.0;
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (!OnSide(row, side) || !row.delta.Less(0.76) || !row.delta.Greater(0.24)) {
            continue;
        }
        const double distance = std::round(std::fabs(row.delta.as_double - 0.5) * 1e10) / 1e10;
        if (distance < best) {
            best = distance;
            strike = row.strike.as_double;
        }
    }
    return strike;
}

DayFigures::Found DayFigures::PriceAt(Side side, double strike, const DayContext& context,
                                      PriceType price_type) const {
    if (!(strike > 0.0)) {
        return {};
    }
    return {PriceNumber(strike, context.symbol, side, Premium(side, strike), context.forward_point,
                        price_type),
            quotes::RoundedStrike(strike)};
}

DayFigures::Found DayFigures::Border(Side side, const DayContext& context,
                                     PriceType price_type) const {
    Extreme largest(true);
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (OnSide(row, side) && row.price.NotEqual(0) && row.delta.NotEqual(0) &&
            row.delta.NotEqual(1)) {
            largest.Add(row.oi);
        }
    }
    const StoredValue* max_oi = largest.Result();
    const std::int64_t oi = max_oi == nullptr ? 0 : max_oi->as_int;
    double strike = 0.0;
    if (oi > 0) {
        // The strike is looked up by the open interest alone, whatever its price or delta.
        for (const std::size_t i : day_) {
            const StoredOption& row = rows_[i];
            if (OnSide(row, side) && row.oi.Equal(static_cast<double>(oi))) {
                strike = row.strike.as_double;
                break;
            }
        }
    }
    return PriceAt(side, strike, context, price_type);
}

DayFigures::Found DayFigures::Limit(Side side, const DayContext& context,
                                    PriceType price_type) const {
    // The highest traded CALL strike, the lowest traded PUT strike.
    Extreme outermost(side == Side::kCall);
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (OnSide(row, side) && row.oi.Greater(0) && row.delta.Greater(0.003) &&
            (side == Side::kCall || row.delta.Less(0.997)) && row.price.Greater(0)) {
            outermost.Add(row.strike);
        }
    }
    const StoredValue* strike = outermost.Result();
    return PriceAt(side, strike == nullptr ? 0.0 : strike->as_double, context, price_type);
}

void DayFigures::MarketBorders(const settings::Settings& settings, DayContext& context,
                               const common::Host* host) const {
    const PriceType price_type = common::PriceTypeFromCode(settings.price_type);
    double balance = BalanceStrike(Side::kPut);
    if (!(balance > 0.0)) {
        balance = BalanceStrike(Side::kCall);
    }
    context.delta_balance = balance > 0.0 ? PriceNumber(balance, context.symbol, Side::kPut, 0.0,
                                                        context.forward_point, price_type)
                                          : PanelNumber();
    Pump(host);
    Found upper = Border(Side::kCall, context, price_type);
    context.upper_border = upper.price;
    context.upper_border_strike = upper.strike;
    Pump(host);
    Found bottom = Border(Side::kPut, context, price_type);
    context.bottom_border = bottom.price;
    context.bottom_border_strike = bottom.strike;
    Pump(host);
    ChannelFromBorders(context);
    Pump(host);
    Found upper_limit = Limit(Side::kCall, context, price_type);
    context.upper_limit = upper_limit.price;
    context.upper_limit_strike = upper_limit.strike;
    Pump(host);
    Found bottom_limit = Limit(Side::kPut, context, price_type);
    context.bottom_limit = bottom_limit.price;
    context.bottom_limit_strike = bottom_limit.strike;
    Pump(host);
    if (IsInverseQuotation(context, price_type)) {
        std::swap(context.upper_border, context.bottom_border);
        std::swap(context.upper_limit, context.bottom_limit);
    }
}

template <typename Keep>
std::optional<std::int64_t> DayFigures::FilteredSum(Side side, bool oi, Keep keep) const {
    // SUM() adds integers as integers (an overflow is an error) and turns to floating point
    // once a value is not an integer; a text adds the number it begins with.
    std::int64_t whole = 0;
    double approximate = 0.0;
    bool any = false;
    bool real = false;
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (!OnSide(row, side) || !keep(row)) {
            continue;
        }
        const StoredValue& value = oi ? row.oi : row.volume;
        if (value.kind == StoredValue::Kind::kNull) {
            continue;
        }
        any = true;
        if (value.kind == StoredValue::Kind::kInteger) {
            if (__builtin_add_overflow(whole, value.as_int, &whole)) {
                return std::nullopt;
            }
        } else {
            real = true;
            approximate += value.as_double;
        }
    }
    if (!any) {
        return 0;
    }
    return real ? RealToInt(static_cast<double>(whole) + approximate) : whole;
}

std::optional<std::int64_t> DayFigures::Sum(Side side, bool oi) const {
    return FilteredSum(side, oi, [](const StoredOption&) { return true; });
}

double DayFigures::AveragePrice(Side side) const {
    double sum = 0.0;
    std::int64_t count = 0;
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        if (OnSide(row, side) && row.price.NotEqual(0) && row.doi.Greater(0) &&
            row.volume.Greater(0) && row.delta.Greater(0.003) && row.delta.Less(0.997)) {
            sum += row.price.as_double * static_cast<double>(row.volume.as_int);
            ++count;
        }
    }
    return count >= 1 ? sum / static_cast<double>(count) : 0.0;
}

bool DayFigures::PutCallRatios(DayContext& context, const common::Host* host) const {
    auto traded = [](const StoredOption& row) {
        return row.price.NotEqual(0) && row.delta.Greater(0.003) && row.delta.Less(0.997);
    };
    for (const bool oi : {true, false}) {
        const std::optional<std::int64_t> put = FilteredSum(Side::kPut, oi, traded);
        const std::optional<std::int64_t> call = FilteredSum(Side::kCall, oi, traded);
        if (!put || !call) {
            return false;
        }
        const double ratio =
            *call >= 1 ? static_cast<double>(*put) / static_cast<double>(*call) : 0.0;
        (oi ? context.ratio_oi : context.ratio_volume) = RatioNumber(ratio);
        Pump(host);
    }
    const double put = AveragePrice(Side::kPut);
    const double call = AveragePrice(Side::kCall);
    context.ratio_avg_price = RatioNumber(call > 0.0 ? put / call : 0.0);
    return true;
}

std::vector<OptionInterest> DayFigures::Interest(Side side) const {
    std::vector<OptionInterest> out;
    for (const std::size_t i : day_) {
        const StoredOption& row = rows_[i];
        // As the query of the day's numeric rows reads them: an infinite strike is left out.
        if (OnSide(row, side) && row.strike.IsNumber() && row.oi.IsNumber() && row.strike.finite) {
            out.push_back({row.strike.as_double, row.oi.as_int});
        }
    }
    return out;
}

MaxPain DayFigures::DayMaxPain(std::string_view symbol, double forward_point,
                               PriceType price_type) const {
    return MaxPainOf(Interest(Side::kCall), Interest(Side::kPut), symbol, forward_point,
                     price_type);
}

void ChannelFromBorders(DayContext& context) {
    if (BottomBorderIsZero(context.bottom_border) || UpperBorderIsZero(context.upper_border)) {
        context.channel_center = PanelNumber();
        context.market_width = PanelNumber();
        return;
    }
    const int decimals = context.bottom_border.Decimals();
    const double bottom = context.bottom_border.Value();
    const double upper = context.upper_border.Value();
    context.channel_center = PanelNumber::Fixed((bottom + upper) / 2.0, decimals);

    const double scale = std::pow(10.0, decimals);
    // Ties go to the even neighbour, the default rounding of the floating-point unit.
    double width = std::fabs(std::nearbyint(upper * scale) - std::nearbyint(bottom * scale));
    if (decimals == 0) {
        width *= common::WholeWidthFactor(context.symbol);
    }
    context.market_width = PanelNumber::Fixed(width, 0);
}

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

}  // namespace zarvex::analytics
