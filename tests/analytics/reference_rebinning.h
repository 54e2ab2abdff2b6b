#pragma once

// The straightforward reading of the price-axis matching rules, kept as the yardstick for the
// fast placement: every value is compared with every grid position and every price bin through
// their decimal texts. Header-only so that the benchmark measures the same code.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analytics/prices.h"
#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/rebinning.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/text.h"
#include "settings/settings.h"

namespace zarvex::analytics::reference {

inline std::optional<std::size_t> FindOnGridByText(double value, double origin, double step,
                                                   std::size_t count) {
    const std::string text = common::FormatShort(value);
    for (std::size_t i = 0; i < count; ++i) {
        if (common::FormatShort(origin + static_cast<double>(i) * step) == text) {
            return i;
        }
    }
    return std::nullopt;
}

inline void Rebin(HistogramData& data, const RightPanelDay& day,
                  const settings::HistogramSettings& histogram) {
    const int type = histogram.market_type;
    const common::PriceType price_type = common::PriceTypeFromCode(histogram.market_type);
    if ((type != 0 && type != 2) || data.axis.empty()) {
        return;
    }
    const std::size_t n = data.axis.size();
    auto call_price = [&](std::size_t i) {
        return common::ToDouble(PriceByType(data.axis[i], day.symbol, common::Side::kCall,
                                            data.call_premium[i], day.forward_point, price_type));
    };
    auto put_price = [&](std::size_t i) {
        return common::ToDouble(PriceByType(data.axis[i], day.symbol, common::Side::kPut,
                                            data.put_premium[i], day.forward_point, price_type));
    };

    double maximum = data.upper_bound;
    double minimum = data.lower_bound;
    if (histogram.market_scale == 0) {
        maximum = 0.0;
        minimum = 99999999.0;
        const bool inverted =
            type == 2 && (day.symbol == "JPY" || day.symbol == "CAD" || day.symbol == "CHF");
        for (std::size_t i = 0; i < n; ++i) {
            const double c = call_price(i);
            const double p = put_price(i);
            if (inverted) {
                maximum = std::max(maximum, p);
                minimum = std::min(minimum, c);
            } else {
                maximum = std::max(maximum, c);
                minimum = std::min(minimum, p);
            }
        }
    }
    const int resolution = PriceResolution(day.symbol, price_type);
    const int decimals = static_cast<int>(std::lround(std::log10(resolution)));
    const double margin =
        common::ToDouble(common::FormatFixed((maximum - minimum) * 2.0 / 100.0, decimals));
    maximum += margin;
    minimum -= margin;
    const double span = std::fabs(maximum - minimum) * resolution;
    if (!std::isfinite(span) || !std::isfinite(minimum)) {
        data.ResetArrays(0);
        return;
    }
    const std::size_t bins = static_cast<std::size_t>(std::min(
                                 std::trunc(span), static_cast<double>(kHistogramCapacity - 1))) +
                             1;
    std::vector<double> axis(bins);
    std::vector<std::string> bin_texts(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        axis[k] = minimum + static_cast<double>(k) * (1.0 / resolution);
        bin_texts[k] = common::FormatShort(axis[k]);
    }
    std::vector<double> put(bins, 0.0);
    std::vector<double> call(bins, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const double p = put_price(i);
        const double c = call_price(i);
        const std::string p_text = common::FormatShort(p);
        const std::string c_text = common::FormatShort(c);
        for (std::size_t k = 0; k < bins; ++k) {
            if (p >= data.lower_bound && p <= data.upper_bound && p_text == bin_texts[k]) {
                put[k] += data.put[i];
            }
            if (c >= data.lower_bound && c <= data.upper_bound && c_text == bin_texts[k]) {
                call[k] += data.call[i];
            }
        }
    }
    data.axis = std::move(axis);
    data.put = std::move(put);
    data.call = std::move(call);
    data.call_premium.assign(bins, 0.0);
    data.put_premium.assign(bins, 0.0);
}

}  // namespace zarvex::analytics::reference
