#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/option_chain.h"
#include "analytics/volatility/smile.h"
#include "common/date.h"

namespace zarvex::analytics {

// Why a row has no implied volatility.
enum class NoVolReason : std::uint8_t {
    kNone,               // it has one
    kNoRow,              // the report has no row for that side of the strike
    kNoPremium,          // premium <= 0
    kNotAboveIntrinsic,  // premium <= D * max(0, F - K) (CALL) or D * max(0, K - F) (PUT),
                         // a tie within 1e-12 of max(K, F) counting as equal
    kNoFit,              // no volatility in (0, 5] prices it within 1e-8
};

// "no_row", "no_premium", "not_above_intrinsic", "no_fit"; empty for kNone.
std::string_view NoVolReasonKey(NoVolReason reason);

struct SideVolatility {
    std::optional<double> vol;  // per year
    NoVolReason reason = NoVolReason::kNoRow;
    std::optional<black76::Greeks> greeks;  // with the row's own volatility
};

struct VolatilityPoint {
    ChainStrike quote;
    SideVolatility call;
    SideVolatility put;
    // The out-of-the-money side's volatility (the CALL at K >= F), else the other side's.
    std::optional<double> smile_vol;
    // The reason of the side the smile would have used, where smile_vol is missing.
    NoVolReason smile_reason = NoVolReason::kNone;
};

enum class VolatilityStatus : std::uint8_t {
    kReady,
    kNoRows,     // no CALL or PUT row of the contract on that day
    kExpired,    // the expiration is not after the day (or cannot be read)
    kNoForward,  // no strike with both premiums above zero
};

// Everything the market's premiums say about one contract on one day. Computed on demand from
// the stored rows; nothing of it is ever stored.
struct ContractVolatility {
    VolatilityStatus status = VolatilityStatus::kNoRows;
    std::int64_t days = 0;  // calendar days from the day to the expiration
    double years = 0.0;     // days / 365
    double forward = 0.0;
    double discount = 1.0;
    bool parity_fitted = false;
    std::vector<VolatilityPoint> points;  // every strike of the day, ascending
    std::vector<SmilePoint> smile;        // the strikes with a smile volatility
    std::optional<double> atm_vol;
    std::optional<double> rr25;
    std::optional<double> bf25;
    std::optional<double> expected_move;  // F * ATM * sqrt(T)
    // F * exp(k * ATM * sqrt(T)) for k = -2, -1, +1, +2; set with expected_move.
    std::array<double, 4> bands{};
};

// Calendar days from the day to the expiration text ("%dd.%mm.%yyyy"); nullopt when either
// cannot be read.
std::optional<std::int64_t> DaysToExpiry(std::string_view expiration, common::Date day);

// The figures of a chain whose day lies `days` calendar days before the expiration.
ContractVolatility VolatilityForDays(const OptionChain& chain, std::int64_t days);

// The same for the day (as a date) of the chain's rows.
ContractVolatility VolatilityOfChain(const OptionChain& chain, common::Date day);

// Of the same figures, only what the chances along the smile read: the status, T, the forward,
// the discount, the smile and the ATM volatility, each exactly as VolatilityOfChain gives it;
// no points, greeks, wings or bands. A strike's side inside the money is solved only where the
// side outside gives no volatility, which is where the smile takes it: for reading many days.
ContractVolatility SmileOfChain(const OptionChain& chain, common::Date day);

// N(d2) at x with the smile's volatility at x (interpolated, flat beyond): the chance of the
// future finishing above x. nullopt without a smile, or for x <= 0.
std::optional<double> ProbabilityAbove(const ContractVolatility& figures, double x);

// How many strikes have no smile volatility, by the reason of the side the smile would use.
struct MissingVolCounts {
    int no_row = 0;
    int no_premium = 0;
    int not_above_intrinsic = 0;
    int no_fit = 0;
    int Total() const { return no_row + no_premium + not_above_intrinsic + no_fit; }
};
MissingVolCounts CountMissing(const ContractVolatility& figures);

}  // namespace zarvex::analytics
