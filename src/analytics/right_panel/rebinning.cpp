#include "analytics/right_panel/rebinning.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analytics/prices.h"
#include "analytics/right_panel/decimal_grid.h"
#include "analytics/right_panel/histogram_kinds.h"
#include "common/currency_conventions.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// The shown prices of the options at every axis position, as numbers.
struct PositionPrices {
    std::vector<double> call;
    std::vector<double> put;
};

PositionPrices PricesOf(const HistogramData& data, const RightPanelDay& day,
                        common::PriceType price_type) {
    PositionPrices prices;
    prices.call.reserve(data.Size());
    prices.put.reserve(data.Size());
    for (std::size_t i = 0; i < data.Size(); ++i) {
        prices.call.push_back(
            common::ToDouble(PriceByType(data.axis[i], day.symbol, common::Side::kCall,
                                         data.call_premium[i], day.forward_point, price_type)));
        prices.put.push_back(
            common::ToDouble(PriceByType(data.axis[i], day.symbol, common::Side::kPut,
                                         data.put_premium[i], day.forward_point, price_type)));
    }
    return prices;
}

struct PriceRange {
    double minimum = 0.0;
    double maximum = 0.0;
};

PriceRange RangeOf(const HistogramData& data, const PositionPrices& prices,
                   const RightPanelDay& day, int scale, common::PriceType price_type) {
    if (scale != kScaleAllLevels) {
        return {data.lower_bound, data.upper_bound};
    }
    // Inverted quotations turn the highest strike into the lowest price, so the sides swap.
    const bool inverted =
        price_type == common::PriceType::kForex && common::InvertedUnderForex(day.symbol);
    const std::vector<double>& high_side = inverted ? prices.put : prices.call;
    const std::vector<double>& low_side = inverted ? prices.call : prices.put;
    PriceRange range{99999999.0, 0.0};
    for (std::size_t i = 0; i < data.Size(); ++i) {
        range.maximum = std::max(range.maximum, high_side[i]);
        range.minimum = std::min(range.minimum, low_side[i]);
    }
    return range;
}

int DecimalsOf(int resolution) {
    int decimals = 0;
    for (int r = resolution; r >= 10; r /= 10) {
        ++decimals;
    }
    return decimals;
}

// Adds each position's value to the bin of its price, for the prices within the bounds; the
// rows among the positions become the sources of their bins.
void Place(const std::vector<double>& prices, const std::vector<double>& values,
           const std::vector<BarSource>& rows, const HistogramBounds& bounds, double origin,
           double step, std::vector<double>& bins, std::vector<BarSource>& placed) {
    std::vector<std::optional<std::size_t>> bin_of(prices.size());
    for (std::size_t i = 0; i < prices.size(); ++i) {
        const double price = prices[i];
        if (!(price >= bounds.lower && price <= bounds.upper)) {
            continue;
        }
        bin_of[i] = FindOnDecimalGrid(price, origin, step, bins.size());
        if (bin_of[i]) {
            bins[*bin_of[i]] += values[i];
        }
    }
    std::vector<BarSource> kept;
    kept.reserve(rows.size());
    for (const BarSource& row : rows) {
        if (row.grid_index < bin_of.size() && bin_of[row.grid_index]) {
            kept.push_back(row);
            kept.back().position = *bin_of[row.grid_index];
        }
    }
    placed = std::move(kept);
}

// Per bin, the strike of the row that gives the most of its bar; rows come in the order of
// their strikes, so a tie keeps the lowest.
std::vector<double> LeadingStrikes(const std::vector<BarSource>& rows, std::size_t bins) {
    std::vector<double> strikes(bins, 0.0);
    std::vector<double> largest(bins, -1.0);
    for (const BarSource& row : rows) {
        const double size = std::fabs(row.value);
        if (row.position < bins && size > largest[row.position]) {
            largest[row.position] = size;
            strikes[row.position] = row.strike;
        }
    }
    return strikes;
}

}  // namespace

int PriceResolution(std::string_view symbol, common::PriceType price_type) {
    return common::PriceResolution(symbol, price_type == common::PriceType::kForex);
}

bool RebinsOnPriceAxis(common::PriceType price_type) {
    return price_type == common::PriceType::kFutures || price_type == common::PriceType::kForex;
}

void RebinOnPriceAxis(HistogramData& data, const RightPanelDay& day,
                      const settings::HistogramSettings& histogram) {
    const common::PriceType price_type = common::PriceTypeFromCode(histogram.market_type);
    if (!RebinsOnPriceAxis(price_type) || data.axis.empty()) {
        return;
    }
    const PositionPrices prices = PricesOf(data, day, price_type);
    PriceRange range = RangeOf(data, prices, day, histogram.market_scale, price_type);

    const int resolution = PriceResolution(day.symbol, price_type);
    const double margin = common::ToDouble(
        common::FormatFixed((range.maximum - range.minimum) * 2.0 / 100.0, DecimalsOf(resolution)));
    range.maximum += margin;
    range.minimum -= margin;

    const double span = std::fabs(range.maximum - range.minimum) * resolution;
    if (!std::isfinite(span) || !std::isfinite(range.minimum)) {
        data.ResetArrays(0);
        return;
    }
    // A range wider than the chart holds keeps its lowest bins.
    const auto bin_count = static_cast<std::size_t>(std::min(
                               std::trunc(span), static_cast<double>(kHistogramCapacity - 1))) +
                           1;
    const double step = 1.0 / resolution;

    std::vector<double> put(bin_count, 0.0);
    std::vector<double> call(bin_count, 0.0);
    const HistogramBounds bounds{data.lower_bound, data.upper_bound};
    Place(prices.put, data.put, data.put_sources, bounds, range.minimum, step, put,
          data.put_sources);
    Place(prices.call, data.call, data.call_sources, bounds, range.minimum, step, call,
          data.call_sources);

    data.axis.resize(bin_count);
    for (std::size_t k = 0; k < bin_count; ++k) {
        data.axis[k] = GridPosition(range.minimum, step, k);
    }
    data.put = std::move(put);
    data.call = std::move(call);
    data.call_premium.assign(bin_count, 0.0);
    data.put_premium.assign(bin_count, 0.0);
    data.put_strike = LeadingStrikes(data.put_sources, bin_count);
    data.call_strike = LeadingStrikes(data.call_sources, bin_count);
}

void PlaceOnPriceBins(const HistogramData& strikes, const RightPanelDay& day,
                      common::PriceType price_type, const HistogramData& bins,
                      std::vector<double>& put, std::vector<double>& call) {
    put.assign(bins.Size(), 0.0);
    call.assign(bins.Size(), 0.0);
    if (!RebinsOnPriceAxis(price_type) || bins.axis.empty() || strikes.axis.empty()) {
        return;
    }
    const HistogramBounds bounds{bins.lower_bound, bins.upper_bound};
    const double step = 1.0 / PriceResolution(day.symbol, price_type);
    // A strike whose row the shown day placed stands in that row: the two days' bars of one
    // strike then share it, and the difference reads as the change of that strike. Only the
    // other day's own strikes go by their own premium and forward point.
    auto shown_rows = [&](const std::vector<BarSource>& rows) {
        std::vector<std::optional<std::size_t>> at(strikes.Size());
        for (const BarSource& row : rows) {
            if (row.grid_index < at.size() && row.position < bins.Size()) {
                at[row.grid_index] = row.position;
            }
        }
        return at;
    };
    // Only positions with a value can change a bin, and on a strike grid most hold none: their
    // prices, the costly part, are not worked out.
    auto place = [&](common::Side side, const std::vector<double>& values,
                     const std::vector<double>& premiums, const std::vector<BarSource>& shown,
                     std::vector<double>& out) {
        const std::vector<std::optional<std::size_t>> shown_at = shown_rows(shown);
        for (std::size_t i = 0; i < strikes.Size(); ++i) {
            if (values[i] == 0.0) {
                continue;
            }
            if (shown_at[i]) {
                out[*shown_at[i]] += values[i];
                continue;
            }
            const double price = common::ToDouble(PriceByType(
                strikes.axis[i], day.symbol, side, premiums[i], day.forward_point, price_type));
            if (!(price >= bounds.lower && price <= bounds.upper)) {
                continue;
            }
            const auto bin = FindOnDecimalGrid(price, bins.axis.front(), step, out.size());
            if (bin) {
                out[*bin] += values[i];
            }
        }
    };
    place(common::Side::kPut, strikes.put, strikes.put_premium, bins.put_sources, put);
    place(common::Side::kCall, strikes.call, strikes.call_premium, bins.call_sources, call);
}

}  // namespace zarvex::analytics
