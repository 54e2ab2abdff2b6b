#pragma once

#include <string_view>
#include <vector>

#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/price_type.h"
#include "settings/settings.h"

namespace zarvex::analytics {

// Price bins per unit of the shown price (the currency's resolution, common::PriceResolution).
int PriceResolution(std::string_view symbol, common::PriceType price_type);

// Futures and Forex show prices that are not strikes: their histograms are re-binned.
bool RebinsOnPriceAxis(common::PriceType price_type);

// Re-bins a histogram built on the strike grid onto price bins of 1 / resolution: every axis
// position's CALL and PUT value moves to the bin of its option's shown price (strike and
// premium converted to the histogram's price type) when that price lies within the scale's
// bounds. The range of the bins is the scale's bounds, or with the display scale "All levels"
// the outermost prices of the axis, widened by 2% on each side. Afterwards the premiums no
// longer belong to the axis and are zeros; the sources name each row's bin and the strike
// arrays each bin's leading strike. Nothing changes for price types that show strikes,
// or when the data is empty. At most kHistogramCapacity bins are made; a range that is not a
// finite number gives an empty histogram.
void RebinOnPriceAxis(HistogramData& data, const RightPanelDay& day,
                      const settings::HistogramSettings& histogram);

// The values of strike arrays of another day (axis, values and premiums on the strike grid of
// the day whose price bins are already made) placed on those bins: a strike that has a row
// among the bins' sources goes to that row's bin, whatever its own premium; any other strike
// goes by the rule of RebinOnPriceAxis, its price from its own premium and day's forward point,
// kept when it lies within the bins' bounds and reads as one of the bins. put and call come
// out as long as bins.axis.
void PlaceOnPriceBins(const HistogramData& strikes, const RightPanelDay& day,
                      common::PriceType price_type, const HistogramData& bins,
                      std::vector<double>& put, std::vector<double>& call);

}  // namespace zarvex::analytics
