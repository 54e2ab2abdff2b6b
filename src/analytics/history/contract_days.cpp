#include "analytics/history/contract_days.h"

#include <algorithm>
#include <string>

#include "analytics/day/quote_queries.h"

namespace zarvex::analytics {

std::vector<common::Date> ContractDays(const storage::Database& db, std::string_view contract) {
    std::vector<common::Date> days;
    if (!db.IsOpen()) {
        return days;
    }
    storage::Statement rows = quotes::Query(
        db, "SELECT DISTINCT date FROM dating WHERE contract = ? AND option IN ('CALL', 'PUT')",
        {contract});
    while (rows.Step()) {
        const std::string_view text = rows.ColumnTextView(0);
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        // Only a text the panel itself would ask for names a day it can show.
        if (day != common::kInvalidDate && common::DayText(day) == text) {
            days.push_back(day);
        }
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

common::Date PreviousTradingDay(const std::vector<common::Date>& contract_days,
                                common::Date shown) {
    const auto after = std::lower_bound(contract_days.begin(), contract_days.end(), shown);
    return after == contract_days.begin() ? common::kInvalidDate : *(after - 1);
}

common::Date PreviousTradingDay(const storage::Database& db, std::string_view contract,
                                common::Date shown) {
    return PreviousTradingDay(ContractDays(db, contract), shown);
}

}  // namespace zarvex::analytics
