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

// A pull of the futures toward one strike of the contract about to expire, as dealers hedging a
// large open interest pin the price in the last days. The strike is the one nearest the money
// ten days before the expiration (shared by the contracts expiring that day), and it carries a
// large open interest on both sides (so that it is also max pain). With ignore_oi the straddle
// stands one to eight strikes away from that strike, drawn at random, and the price is pulled as
// hard toward another such strike: a market where neither the open interest nor the price of the
// week before foretells the settlement, so that a test can tell the two markets apart.
struct PinOptions {
    double strength = 0.0;  // 0 no pull; 1 the price settles on the strike
    bool ignore_oi = false;
    ScheduleOptions schedule;  // which contracts are listed
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
    explicit MarketModel(std::uint64_t seed, bool flat = false, PinOptions pin = {})
        : seed_(seed), flat_(flat), pin_(pin) {}
    // With a volatility that remembers: the at-the-money level and the futures follow
    // VolatilityPath, the futures' realized volatility `premium` below the level.
    MarketModel(std::uint64_t seed, double premium, PinOptions pin = {})
        : seed_(seed), flat_(false), pin_(pin) {
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
    // The same at any strike (in the product's own quotation) of a contract expiring on
    // `expiration`: the smile as a function, for checks between the listed strikes.
    OptionTruth TruthAt(const Product& product, common::Date expiration, common::Date day,
                        double strike) const;

    // The strike the open interest gathers at before the expiration, in the product's units;
    // 0 without pinning.
    std::int64_t MagnetUnits(const Product& product, const Contract& contract) const;

private:
    // The strike nearest the unpinned price ten days before the expiration.
    std::int64_t AtTheMoneyUnits(const Product& product, common::Date expiration) const;
    double UnpinnedFutures(const Product& product, common::Date day) const;
    std::int64_t OpenInterestAt(const StrikeSeries& series, common::Date day, int depth) const;

    Settlement FlatQuote(const StrikeSeries& series, common::Date day) const;

    std::uint64_t seed_;
    bool flat_;
    PinOptions pin_;
    std::optional<VolatilityPath> path_;
};

}  // namespace zarvex::reportgen
