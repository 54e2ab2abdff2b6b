#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analytics/panel_number.h"

namespace zarvex::analytics {

// One option of a day as max pain weighs it: its strike and open interest.
struct OptionInterest {
    double strike = 0.0;
    std::int64_t oi = 0;
};

// The strike at which the options of a day would pay their holders the least:
// pain(S) = sum over CALLs of oi x max(0, S - strike) + sum over PUTs of oi x max(0, strike - S),
// over the candidates S = the distinct strikes above 0 of both sides. Strikes are taken as
// whole millionths, so that the sums and their ties are exact; the least pain wins, the lowest
// strike among equals. nullopt without a candidate. The answer is in millionths.
std::optional<std::int64_t> MaxPainMillionths(const std::vector<OptionInterest>& calls,
                                              const std::vector<OptionInterest>& puts);

// A strike as whole millionths, rounded to the nearest (halves away from zero). Strikes are
// held within a thousand million, which no price comes near, so that the sums of max pain stay
// exact; a strike that is not finite counts as 0.
std::int64_t StrikeMillionths(double strike);

struct MaxPain {
    double strike = 0.0;  // 0.0 when the day has no candidate
    PanelNumber price;    // the shown price of the strike; empty when there is none
};

// Max pain with its text as the left panel would show it: PriceByType(strike, symbol, "PUT",
// 0.0, forward point, price type), as for the delta-balance.
MaxPain MaxPainOf(const std::vector<OptionInterest>& calls, const std::vector<OptionInterest>& puts,
                  std::string_view symbol, double forward_point, int price_type);

}  // namespace zarvex::analytics
