#pragma once

#include <string_view>
#include <vector>

#include "common/date.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The stored days on which a contract has CALL or PUT rows, oldest first by calendar date
// (the stored day texts, "%dd.%mm.%yyyy", do not sort as texts). Day texts that are not a
// date are left out. Empty when there are none or the database cannot be read.
std::vector<common::Date> ContractDays(const storage::Database& db, std::string_view contract);

// The last of those days before `shown`; common::kInvalidDate when there is none.
common::Date PreviousTradingDay(const std::vector<common::Date>& contract_days, common::Date shown);
common::Date PreviousTradingDay(const storage::Database& db, std::string_view contract,
                                common::Date shown);

}  // namespace zarvex::analytics
