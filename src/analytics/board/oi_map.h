#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analytics/board/symbol_rows.h"
#include "common/date.h"
#include "common/result.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The open interest of one symbol over all its contracts of a day: a grid of strike x
// contract holding the open interest (CALL and PUT together) of the day, or its change since
// an earlier stored day, with each strike's sum over the contracts.
struct OiMap {
    std::string symbol;
    common::Date date = common::kInvalidDate;
    // 0: the day's open interest; 1: its change since the previous trading day with data;
    // 5: since the fifth stored day before (a week of trading days).
    int change = 0;
    common::Date compare_date = common::kInvalidDate;  // the earlier day, when change > 0
    std::vector<std::string> contracts;  // the day's contracts with open interest, nearest first
    std::vector<std::string> expirations;
    std::vector<double> strikes;                   // ascending
    std::vector<std::vector<std::int64_t>> cells;  // [strike][contract]
    std::vector<std::int64_t> sums;                // per strike, over the contracts
};

// The map of `date` (already a stored day of `rows`, or kInvalidDate for none). A strike is
// on the map when one of the contracts has open interest there on the day or on the compared
// day; a change map without an earlier day has no rows. Rows are loaded as needed.
// The reason when the rows cannot be read.
common::Result<OiMap> BuildOiMap(SymbolRows& rows, const storage::Database& db,
                                 const std::string& symbol, common::Date date, int change);

}  // namespace zarvex::analytics
