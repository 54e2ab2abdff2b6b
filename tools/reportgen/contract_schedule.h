#pragma once

#include <string>
#include <vector>

#include "common/date.h"

namespace zarvex::reportgen {

enum class ContractStyle { kAmerican, kEuropean, kWeekly, kPlain };

// One option contract as it appears in the report's contract lines.
struct Contract {
    std::string code;      // as stored after the download: "JUL13-AM"
    std::string raw_code;  // as the report server spells it: "JLY13-AM"
    common::Date expiration = 0;
    common::Date listed = 0;  // the first day the report carries it
    ContractStyle style = ContractStyle::kAmerican;
};

struct ScheduleOptions {
    bool full = false;         // more months, more weeklies, longer European listings
    bool plain_codes = false;  // quarterly contracts also under a bare 5-character code
};

// The contracts of a product listed on day, by expiration (monthly before weekly on ties).
// Only the six instruments carry European, weekly and plain contracts.
std::vector<Contract> ListedContracts(common::Date day, bool instrument,
                                      const ScheduleOptions& options);

// The monthly expiration: the second Friday before the third Wednesday of the month.
common::Date MonthlyExpiration(int year, int month);

}  // namespace zarvex::reportgen
