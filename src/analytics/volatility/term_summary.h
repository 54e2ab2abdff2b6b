#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/volatility/smile.h"
#include "analytics/volatility/term_structure.h"
#include "common/date.h"

namespace zarvex::analytics {

// What the volatility across days keeps of one contract of a day's term structure.
struct ContractSummary {
    std::string contract;
    std::string expiration;
    std::int64_t days = 0;  // calendar days to the expiration
    double years = 0.0;     // days / 365
    // The parity forward and discount, where the day's premiums give one.
    std::optional<double> forward;
    std::optional<double> discount;
    std::optional<double> atm_vol;
    std::optional<double> rr25;
    std::optional<double> bf25;
    std::int64_t total_oi = 0;  // CALL and PUT
    // The smile as it was solved, for a contract with a forward: what the chances along the
    // smile read, so that a reader of many days need not solve it again. Not at hand (nullopt)
    // unless it was asked for, or where the store has none that it can vouch for.
    std::optional<std::vector<SmilePoint>> smile;

    bool operator==(const ContractSummary&) const = default;
};

// One stored day of a symbol with its contracts as `vol --term` orders them.
struct DaySummary {
    common::Date date = common::kInvalidDate;
    std::vector<ContractSummary> contracts;

    bool operator==(const DaySummary&) const = default;
};

ContractSummary SummaryOfContract(const TermContract& term);
std::vector<ContractSummary> SummaryOfTerm(const std::vector<TermContract>& term);

}  // namespace zarvex::analytics
