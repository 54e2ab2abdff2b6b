#pragma once

#include <QString>
#include <string_view>
#include <utility>
#include <vector>

#include "analytics/volatility/contract_volatility.h"

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// How a chart shows prices: the symbol, the forward point and the price type of its axis.
struct AxisQuotation {
    std::string_view symbol;
    double forward_point = 0.0;
    int price_type = 0;
};

// The settlement density of the contract at its grid's inner strikes, each moved onto the
// chart's axis (values below zero as zero); empty without a density.
std::vector<std::pair<double, double>> DensityOnAxis(const analytics::ContractVolatility& figures,
                                                     const AxisQuotation& axis);

// Two tooltip lines for a price of the axis: the chance of the future finishing beyond it (above
// it when it lies above F, below otherwise) and of touching it; empty without a smile.
QString LevelChanceText(const analytics::ContractVolatility& figures, const AxisQuotation& axis,
                        double shown_price, const common::TextTable& texts);

}  // namespace zarvex::ui
