#pragma once

#include <string>

#include "analytics/volatility/density.h"

namespace zarvex::cli {

// vol --density: {"grid", "density", "negative", "mass_inside", "quantiles": {"q05" ... "q95"}}.
// Without a density (no smile of two strikes) the arrays are empty and the numbers null.
std::string DensityJson(const analytics::SettlementDensity& density);

// The inner points and their density: "strike,density" and one line per point.
std::string DensityCsv(const analytics::SettlementDensity& density);

}  // namespace zarvex::cli
