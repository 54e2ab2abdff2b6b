#pragma once

#include <cstdint>
#include <optional>

#include "common/date.h"
#include "reportgen/contract_schedule.h"
#include "reportgen/product.h"
#include "reportgen/volatility_path.h"

namespace zarvex::reportgen {

// One strike of one contract of one product, CALL or PUT: the thing whose open interest
// carries over from day to day.
struct StrikeSeries {
    const Product* product = nullptr;
    const Contract* contract = nullptr;
    bool call = true;
    std::int64_t strike_units = 0;  // strike in units of the product's last printed decimal
    std::int64_t center_units = 0;  // the strike at the money when the contract was listed
};

struct Settlement {
    double premium = 0.0;
    double delta = 0.0;  // 0 ... 1 for CALL and PUT alike, as the report prints it
    std::int64_t volume = 0;
    std::int64_t oi = 0;
    std::int64_t doi = 0;  // size of the change against the previous trading day
    int sign = 0;          // +1 rise, -1 fall, 0 no change
};

// What the model knows about one option on one day, before any rounding: the quantities that
// the program has to find again from the printed premiums.
struct OptionTruth {
    std::int64_t days = 0;  // calendar days to the expiration
    double years = 0.0;     // days / 365
    double forward = 0.0;
    double discount = 1.0;
    double volatility = 0.0;  // per year, at this option's strike
};

// A deterministic toy market: smooth futures prices, Black-76 premiums, and open interest
// that is a pure function of (seed, series, day). The previous trading day's open interest is
// computed the same way, so the change of open interest of any generated day agrees with the
// open interest printed on the day before, whichever days are generated.
class MarketModel final {
public:
    // flat: the first model's one volatility per product, no discount and half a day added to
    // the time; otherwise a smile per currency (skew and curvature in moneyness), a term
    // structure, a volatility that moves from day to day and a small interest rate.
    explicit MarketModel(std::uint64_t seed, bool flat = false) : seed_(seed), flat_(flat) {}
    // With a volatility that remembers: the at-the-money level and the futures follow
    // VolatilityPath, the futures' realized volatility `premium` below the level.
    MarketModel(std::uint64_t seed, double premium) : seed_(seed), flat_(false) {
        path_.emplace(seed, premium);
    }
    // The path, for a model with a memory; null otherwise.
    const VolatilityPath* Path() const { return path_ ? &*path_ : nullptr; }

    double Futures(const Product& product, common::Date day) const;
    double ForwardPoint(const Product& product, common::Date day) const;
    std::int64_t OpenInterest(const StrikeSeries& series, common::Date day) const;
    // Premium and delta only.
    Settlement Quote(const StrikeSeries& series, common::Date day) const;
    // Everything the report prints for the series on the day.
    Settlement Settle(const StrikeSeries& series, common::Date day) const;

    double StrikeValue(const Product& product, std::int64_t units) const;

    OptionTruth Truth(const StrikeSeries& series, common::Date day) const;

private:
    std::int64_t OpenInterestAt(const StrikeSeries& series, common::Date day, int depth) const;

    Settlement FlatQuote(const StrikeSeries& series, common::Date day) const;

    std::uint64_t seed_;
    bool flat_;
    std::optional<VolatilityPath> path_;
};

}  // namespace zarvex::reportgen
