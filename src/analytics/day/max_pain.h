#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analytics/panel_number.h"
#include "common/price_type.h"

namespace zarvex::analytics {

// One option of a day as max pain weighs it: its strike and open interest.
struct OptionInterest {
    double strike = 0.0;
    std::int64_t oi = 0;
};

// The strike at which the options of a day would pay their holders the least:
// pain(S) = sum over CALLs of oi x max(0, S - strike) + sum over PUTs of oi x max(0, strike - S),
// over the candidates S = the distinct strikes above 0 of both sides. Strikes are taken as
// whole millionths (common::StrikeKey), so that the sums and their ties are exact; the least
// pain wins, the lowest strike among equals. nullopt without a candidate. The answer is in
// millionths.
std::optional<std::int64_t> MaxPainMillionths(const std::vector<OptionInterest>& calls,
                                              const std::vector<OptionInterest>& puts);

struct MaxPain {
    double strike = 0.0;  // 0.0 when the day has no candidate
    PanelNumber price;    // the shown price of the strike; empty when there is none
};

// Max pain with its text as the left panel would show it: the PUT price of the strike with no
// premium, as for the delta-balance.
MaxPain MaxPainOf(const std::vector<OptionInterest>& calls, const std::vector<OptionInterest>& puts,
                  std::string_view symbol, double forward_point, common::PriceType price_type);

}  // namespace zarvex::analytics
