#include "analytics/volatility/constant_maturity.h"

#include <cmath>
#include <map>
#include <string>

namespace zarvex::analytics {

namespace {

constexpr double kDaysPerYear = 365.0;

// The contracts with an ATM volatility just below and just above the maturity (the same one
// for a contract right at it); `below` null when every one is further out, `above` null when
// every one is nearer.
struct Bracket {
    const ContractSummary* below = nullptr;
    const ContractSummary* above = nullptr;
    double weight = 0.0;  // (tau - T1) / (T2 - T1); 0 when one contract counts
};

Bracket BracketOf(const std::vector<const ContractSummary*>& part, int days) {
    Bracket bracket;
    for (const ContractSummary* contract : part) {
        if (!contract->atm_vol) {
            continue;
        }
        if (contract->days <= days && (!bracket.below || contract->days > bracket.below->days)) {
            bracket.below = contract;
        }
        if (contract->days >= days && (!bracket.above || contract->days < bracket.above->days)) {
            bracket.above = contract;
        }
    }
    if (bracket.below && bracket.above && bracket.below->days != bracket.above->days) {
        const double tau = days / kDaysPerYear;
        bracket.weight =
            (tau - bracket.below->years) / (bracket.above->years - bracket.below->years);
    }
    return bracket;
}

// The one contract that gives the figure alone: right at the maturity, or the nearest of
// those all further out. Null when two are interpolated between (or none is there).
const ContractSummary* Alone(const Bracket& bracket) {
    if (!bracket.above) {
        return nullptr;
    }
    if (!bracket.below || bracket.below->days == bracket.above->days) {
        return bracket.above;
    }
    return nullptr;
}

std::optional<double> Linear(const Bracket& bracket,
                             std::optional<double> ContractSummary::*field) {
    if (!bracket.above) {
        return std::nullopt;
    }
    if (const ContractSummary* alone = Alone(bracket)) {
        return alone->*field;
    }
    const auto& low = bracket.below->*field;
    const auto& high = bracket.above->*field;
    if (!low || !high) {
        return std::nullopt;
    }
    return *low + (*high - *low) * bracket.weight;
}

}  // namespace

std::vector<const ContractSummary*> TakingPart(const std::vector<ContractSummary>& contracts) {
    // The winner of each expiration, by position in `contracts`.
    std::map<std::string, std::size_t> winner;
    for (std::size_t i = 0; i < contracts.size(); ++i) {
        const ContractSummary& c = contracts[i];
        if (c.days < kMinDaysToTakePart) {
            continue;
        }
        const auto [at, added] = winner.emplace(c.expiration, i);
        if (added) {
            continue;
        }
        const ContractSummary& held = contracts[at->second];
        if (c.total_oi > held.total_oi ||
            (c.total_oi == held.total_oi && c.contract < held.contract)) {
            at->second = i;
        }
    }
    std::vector<const ContractSummary*> part;
    for (std::size_t i = 0; i < contracts.size(); ++i) {
        const auto at = winner.find(contracts[i].expiration);
        if (at != winner.end() && at->second == i) {
            part.push_back(&contracts[i]);
        }
    }
    return part;
}

std::optional<double> ConstantMaturityVol(const std::vector<const ContractSummary*>& part,
                                          int days) {
    const Bracket bracket = BracketOf(part, days);
    if (!bracket.above) {
        return std::nullopt;
    }
    if (const ContractSummary* alone = Alone(bracket)) {
        return alone->atm_vol;
    }
    const double s1 = *bracket.below->atm_vol;
    const double s2 = *bracket.above->atm_vol;
    const double w1 = s1 * s1 * bracket.below->years;
    const double w2 = s2 * s2 * bracket.above->years;
    const double w = w1 + (w2 - w1) * bracket.weight;
    const double tau = days / kDaysPerYear;
    if (!(w >= 0.0)) {
        return std::nullopt;
    }
    return std::sqrt(w / tau);
}

Wings ConstantMaturityWings(const std::vector<const ContractSummary*>& part, int days) {
    const Bracket bracket = BracketOf(part, days);
    return {Linear(bracket, &ContractSummary::rr25), Linear(bracket, &ContractSummary::bf25)};
}

}  // namespace zarvex::analytics
