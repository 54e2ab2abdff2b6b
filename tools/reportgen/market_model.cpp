#include "reportgen/market_model.h"

#include <algorithm>
#include <cmath>

#include "common/calendar.h"
#include "reportgen/random.h"

namespace zarvex::reportgen {

namespace {

using common::Date;
using common::kSecondsPerDay;

constexpr double kTwoPi = 6.283185307179586;

std::uint64_t DayIndex(Date day) {
    return static_cast<std::uint64_t>(day / kSecondsPerDay);
}
double DayNumber(Date day) {
    return static_cast<double>(day / kSecondsPerDay);
}

double NormalCdf(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

double Round(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// One to eight strikes up or down.
std::int64_t RandomSteps(std::uint64_t h) {
    const auto steps = static_cast<std::int64_t>(1 + Below(h, 8));
    return Unit(Combine(h, 1)) < 0.5 ? -steps : steps;
}

// Open interest keeps its value on about a third of the days; the chain of such quiet days
// is followed back this far at most.
constexpr int kQuietDepth = 6;

}  // namespace

double MarketModel::StrikeValue(const Product& product, std::int64_t units) const {
    return static_cast<double>(units) / std::pow(10.0, product.strike_decimals);
}

// The pull acts on the last days before the expiration, the expiration day included.
constexpr std::int64_t kPinDays = 3;
// The magnet is the strike at the money this many days before the expiration, shared by every
// contract expiring that day, so that they all pull the price the same way.
constexpr std::int64_t kMagnetLead = 10;
// Its straddle, in strikes' worth of open interest near the money: more than all the others
// together, so that the magnet is max pain.
constexpr double kMagnetInterest = 40.0;

double MarketModel::Futures(const Product& product, Date day) const {
    const double free = UnpinnedFutures(product, day);
    if (pin_.strength <= 0.0) {
        return free;
    }
    const std::vector<Contract> listed = ListedContracts(day, product.instrument, pin_.schedule);
    const Contract* expiring = nullptr;
    for (const Contract& contract : listed) {
        const std::int64_t left = (contract.expiration - day) / kSecondsPerDay;
        if (left >= 0 && left <= kPinDays &&
            (expiring == nullptr || contract.expiration < expiring->expiration)) {
            expiring = &contract;
        }
    }
    if (expiring == nullptr) {
        return free;
    }
    std::int64_t target = AtTheMoneyUnits(product, expiring->expiration);
    if (pin_.ignore_oi) {
        target += RandomSteps(Hash(seed_, "pin", product.code, DayIndex(expiring->expiration))) *
                  product.strike_step;
    }
    return free + std::clamp(pin_.strength, 0.0, 1.0) * (StrikeValue(product, target) - free);
}

std::int64_t MarketModel::AtTheMoneyUnits(const Product& product, Date expiration) const {
    const double step =
        static_cast<double>(product.strike_step) / std::pow(10.0, product.strike_decimals);
    const Date lead = expiration - kMagnetLead * kSecondsPerDay;
    return std::llround(UnpinnedFutures(product, lead) / step) * product.strike_step;
}

std::int64_t MarketModel::MagnetUnits(const Product& product, const Contract& contract) const {
    if (pin_.strength <= 0.0) {
        return 0;
    }
    std::int64_t units = AtTheMoneyUnits(product, contract.expiration);
    if (pin_.ignore_oi) {
        units += RandomSteps(Hash(seed_, "magnet", product.code, DayIndex(contract.expiration))) *
                 product.strike_step;
    }
    return units;
}

double MarketModel::UnpinnedFutures(const Product& product, Date day) const {
    if (path_) {
        return path_->At(product, day).futures;
    }
    const std::uint64_t h = Hash(seed_, "futures", product.code);
    const double phase1 = kTwoPi * Unit(Combine(h, 1));
    const double phase2 = kTwoPi * Unit(Combine(h, 2));
    const double n = DayNumber(day);
    const double drift = 0.05 * std::sin(kTwoPi * n / 260.0 + phase1) +
                         0.02 * std::sin(kTwoPi * n / 41.0 + phase2) +
                         0.004 * (Unit(Combine(h, DayIndex(day))) - 0.5);
    return product.level * std::exp(drift);
}

double MarketModel::ForwardPoint(const Product& product, Date day) const {
    const std::uint64_t h = Hash(seed_, "forward", product.code);
    const double n = DayNumber(day);
    const double value =
        product.forward_point * (1.0 + 0.2 * std::sin(kTwoPi * n / 90.0 + kTwoPi * Unit(h))) +
        (Unit(Combine(h, DayIndex(day))) - 0.5);
    return Round(value, 2);
}

std::int64_t MarketModel::OpenInterest(const StrikeSeries& series, Date day) const {
    return OpenInterestAt(series, day, 0);
}

std::int64_t MarketModel::OpenInterestAt(const StrikeSeries& series, Date day, int depth) const {
    const Contract& contract = *series.contract;
    if (day < contract.listed || day > contract.expiration) {
        return 0;
    }
    const std::uint64_t key = Hash(seed_, "oi", series.product->code, contract.code,
                                   series.call ? 1 : 0, series.strike_units);
    const std::uint64_t today = Combine(key, DayIndex(day));
    if (day > contract.listed && depth < kQuietDepth && Unit(Combine(today, 1)) < 0.3) {
        return OpenInterestAt(series, common::PreviousTradingDay(day), depth + 1);
    }
    const Product& product = *series.product;
    // Out-of-the-money strikes carry most of the open interest: CALLs above the money, PUTs
    // below. Some strikes are simply more popular than their neighbours.
    const double steps = static_cast<double>(series.strike_units - series.center_units) /
                         static_cast<double>(product.strike_step);
    const double peak = series.call ? 4.0 : -4.0;
    const double shape = std::exp(-((steps - peak) * (steps - peak)) / 120.0);
    const double popularity = 0.3 + 1.4 * Unit(Combine(key, 7));
    const double age = static_cast<double>((day - contract.listed) / kSecondsPerDay);
    const double ramp = std::min(1.0, 0.05 + age / 40.0);
    const double jitter = 0.8 + 0.4 * Unit(Combine(today, 2));
    const double style = contract.style == ContractStyle::kAmerican ? 1.0 : 0.35;
    double value = product.open_interest * style * shape * popularity * ramp * jitter;
    // Under pinning the magnet strike holds a large straddle on both sides.
    if (pin_.strength > 0.0 && series.strike_units == MagnetUnits(product, contract)) {
        value += product.open_interest * style * kMagnetInterest * ramp * jitter;
    }
    return static_cast<std::int64_t>(std::floor(value));
}

OptionTruth MarketModel::Truth(const StrikeSeries& series, Date day) const {
    const Product& product = *series.product;
    return TruthAt(product, series.contract->expiration, day,
                   StrikeValue(product, series.strike_units));
}

OptionTruth MarketModel::TruthAt(const Product& product, Date expiration, Date day,
                                 double strike) const {
    const std::uint64_t h = Hash(seed_, "smile", product.code);
    OptionTruth truth;
    truth.forward = Futures(product, day);
    truth.days = std::max<std::int64_t>(0, (expiration - day) / kSecondsPerDay);
    truth.years = static_cast<double>(truth.days) / 365.0;
    // A rate of 0.5% to 5% a year, the same for every contract of the currency.
    const double rate = 0.005 + 0.045 * Unit(Combine(h, 1));
    truth.discount = std::exp(-rate * truth.years);

    // The at-the-money level wanders over a few weeks and jumps a little each day; the term
    // structure rises or falls with the time to expiry.
    const double n = DayNumber(day);
    const double wander = 0.15 * std::sin(kTwoPi * n / 55.0 + kTwoPi * Unit(Combine(h, 2))) +
                          0.06 * (Unit(Combine(h, DayIndex(day))) - 0.5);
    const double term_slope = 0.3 * (Unit(Combine(h, 3)) - 0.5);
    const double term = std::max(0.5, 1.0 + term_slope * (truth.years - 0.25));
    const double level = path_ ? path_->At(product, day).atm : product.volatility * (1.0 + wander);
    const double atm = level * term;

    // Skew and curvature in standardised moneyness: most currencies pay more for PUTs, the yen
    // and the franc (havens) for CALLs.
    const bool haven = product.code == "JPY" || product.code == "CHF";
    const double skew = (haven ? 1.0 : -1.0) * (0.02 + 0.04 * Unit(Combine(h, 4)));
    const double curvature = 0.015 + 0.025 * Unit(Combine(h, 5));
    const double width = atm * std::sqrt(std::max(truth.years, 1.0 / 365.0));
    const double x = std::clamp(std::log(strike / truth.forward) / width, -4.0, 4.0);
    truth.volatility = atm * (1.0 + skew * x + curvature * x * x);
    return truth;
}

Settlement MarketModel::Quote(const StrikeSeries& series, Date day) const {
    if (flat_) {
        return FlatQuote(series, day);
    }
    const Product& product = *series.product;
    const OptionTruth truth = Truth(series, day);
    const double strike = StrikeValue(product, series.strike_units);
    const double forward = truth.forward;
    Settlement s;
    if (truth.days == 0) {
        // Expiry day: what is left is the exercise value.
        s.premium = std::max(0.0, series.call ? forward - strike : strike - forward);
        s.delta = (series.call ? forward > strike : forward < strike) ? 1.0 : 0.0;
    } else {
        const double deviation = truth.volatility * std::sqrt(truth.years);
        const double d1 = (std::log(forward / strike) + 0.5 * deviation * deviation) / deviation;
        const double d2 = d1 - deviation;
        if (series.call) {
            s.premium = truth.discount * (forward * NormalCdf(d1) - strike * NormalCdf(d2));
            s.delta = NormalCdf(d1);
        } else {
            s.premium = truth.discount * (strike * NormalCdf(-d2) - forward * NormalCdf(-d1));
            s.delta = 1.0 - NormalCdf(d1);
        }
    }
    s.premium = std::max(0.0, Round(s.premium, product.price_decimals));
    s.delta = std::clamp(Round(s.delta, 3), 0.0, 1.0);
    return s;
}

Settlement MarketModel::FlatQuote(const StrikeSeries& series, Date day) const {
    const Product& product = *series.product;
    const Contract& contract = *series.contract;
    Settlement s;

    const double forward = Futures(product, day);
    const double strike = StrikeValue(product, series.strike_units);
    // Time to expiry in years, never quite zero, so expiry day still has a price.
    const double years =
        (static_cast<double>((contract.expiration - day) / kSecondsPerDay) + 0.5) / 365.0;
    const double deviation = product.volatility * std::sqrt(years);
    const double d1 = (std::log(forward / strike) + 0.5 * deviation * deviation) / deviation;
    const double d2 = d1 - deviation;
    if (series.call) {
        s.premium = forward * NormalCdf(d1) - strike * NormalCdf(d2);
        s.delta = NormalCdf(d1);
    } else {
        s.premium = strike * NormalCdf(-d2) - forward * NormalCdf(-d1);
        s.delta = 1.0 - NormalCdf(d1);
    }
    s.premium = std::max(0.0, Round(s.premium, product.price_decimals));
    s.delta = std::clamp(Round(s.delta, 3), 0.0, 1.0);
    return s;
}

Settlement MarketModel::Settle(const StrikeSeries& series, Date day) const {
    Settlement s = Quote(series, day);
    s.oi = OpenInterest(series, day);
    const std::int64_t before = OpenInterest(series, common::PreviousTradingDay(day));
    s.doi = s.oi >= before ? s.oi - before : before - s.oi;
    s.sign = s.oi > before ? 1 : (s.oi < before ? -1 : 0);
    // Open interest only moves through trades; some trades close one position and open
    // another, so volume is at least the change and often more.
    const std::uint64_t h = Hash(seed_, "volume", series.product->code, series.contract->code,
                                 series.call ? 1 : 0, series.strike_units, DayIndex(day));
    const double churn =
        Unit(h) < 0.45 ? 0.0 : Unit(Combine(h, 1)) * 0.08 * static_cast<double>(s.oi);
    s.volume = s.doi + static_cast<std::int64_t>(churn);
    return s;
}

}  // namespace zarvex::reportgen
