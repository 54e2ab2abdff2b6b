#include "analytics/day/max_pain.h"

#include <algorithm>
#include <cmath>

#include "analytics/prices.h"
#include "common/strike.h"

namespace zarvex::analytics {

namespace {

// Sums of open interest and of open interest x strike grow past 64 bits on a long contract
// with large strikes; 128 bits keep them exact.
using Wide = __int128;

struct Weighted {
    std::int64_t strike = 0;  // millionths
    std::int64_t oi = 0;
};

std::vector<Weighted> InMillionths(const std::vector<OptionInterest>& options) {
    std::vector<Weighted> out;
    out.reserve(options.size());
    for (const OptionInterest& option : options) {
        if (std::isfinite(option.strike)) {
            out.push_back({common::StrikeKey::Of(option.strike).Millionths(), option.oi});
        }
    }
    std::sort(out.begin(), out.end(),
              [](const Weighted& a, const Weighted& b) { return a.strike < b.strike; });
    return out;
}

}  // namespace

std::optional<std::int64_t> MaxPainMillionths(const std::vector<OptionInterest>& calls,
                                              const std::vector<OptionInterest>& puts) {
    const std::vector<Weighted> call = InMillionths(calls);
    const std::vector<Weighted> put = InMillionths(puts);
    std::vector<std::int64_t> candidates;
    for (const auto* side : {&call, &put}) {
        for (const Weighted& option : *side) {
            if (option.strike > 0) {
                candidates.push_back(option.strike);
            }
        }
    }
    if (candidates.empty()) {
        return std::nullopt;
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    // One sweep upwards: the CALLs at or below S pay oi x (S - strike), the PUTs above S pay
    // oi x (strike - S); both are linear in S between strikes, so running sums of oi and of
    // oi x strike give every pain in one pass.
    Wide put_oi_above = 0;
    Wide put_weight_above = 0;
    for (const Weighted& option : put) {
        put_oi_above += option.oi;
        put_weight_above += static_cast<Wide>(option.oi) * option.strike;
    }
    Wide call_oi_below = 0;
    Wide call_weight_below = 0;
    std::size_t next_call = 0;
    std::size_t next_put = 0;
    std::optional<Wide> best;
    std::int64_t best_strike = 0;
    for (const std::int64_t s : candidates) {
        for (; next_call < call.size() && call[next_call].strike <= s; ++next_call) {
            call_oi_below += call[next_call].oi;
            call_weight_below += static_cast<Wide>(call[next_call].oi) * call[next_call].strike;
        }
        for (; next_put < put.size() && put[next_put].strike <= s; ++next_put) {
            put_oi_above -= put[next_put].oi;
            put_weight_above -= static_cast<Wide>(put[next_put].oi) * put[next_put].strike;
        }
        const Wide pain =
            (call_oi_below * s - call_weight_below) + (put_weight_above - put_oi_above * s);
        if (!best || pain < *best) {
            best = pain;
            best_strike = s;
        }
    }
    return best_strike;
}

MaxPain MaxPainOf(const std::vector<OptionInterest>& calls, const std::vector<OptionInterest>& puts,
                  std::string_view symbol, double forward_point, common::PriceType price_type) {
    const std::optional<std::int64_t> millionths = MaxPainMillionths(calls, puts);
    if (!millionths) {
        return {};
    }
    MaxPain pain;
    pain.strike = common::StrikeKey::FromMillionths(*millionths).Value();
    pain.price =
        PriceNumber(pain.strike, symbol, common::Side::kPut, 0.0, forward_point, price_type);
    return pain;
}

}  // namespace zarvex::analytics
