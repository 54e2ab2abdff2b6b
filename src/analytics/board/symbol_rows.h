#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/history/stored_rows.h"
#include "common/date.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The quote rows of one symbol as the evening board needs them, read with one pass over the
// file: every stored day, and per contract the CALL and PUT level strikes and the expiration
// that its whole history gives (the panel pours every row of a contract into its levels).
// The full rows are then read only for the few days the board compares, each by the range of
// row ids that day's rows were found in, so a year of stored days costs one scan and not a
// query per contract and day.
class SymbolRows final {
public:
    // False when the file cannot be read (no quote table, a damaged file).
    bool Scan(const storage::Database& db);

    // The stored days with CALL or PUT rows whose text is a day the panel can show, oldest
    // first.
    const std::vector<common::Date>& Days() const { return days_; }
    // The last stored day not after `day`; kInvalidDate when there is none.
    common::Date LatestUpTo(common::Date day) const;
    // The stored day `steps` days before `day` (1 = the previous trading day with data);
    // kInvalidDate when there are not as many.
    common::Date Before(common::Date day, int steps) const;

    // Reads the full rows of the given days (already scanned) into the contracts; a day read
    // before is not read again. False when a read failed.
    bool Load(const storage::Database& db, const std::vector<common::Date>& days);

    // The contract's levels and expiration, and the rows of the loaded days; null for a
    // contract without CALL or PUT rows.
    const ContractRows* Contract(std::string_view contract) const;
    // The positions of the contract's rows on a loaded day; null when it has none.
    static const std::vector<std::size_t>* RowsOn(const ContractRows& rows, common::Date day);
    // The contracts that have rows on a loaded day, in no particular order.
    std::vector<std::string> ContractsOn(common::Date day) const;

private:
    struct Entry {
        ContractRows rows;
        std::string call_expiration;
        std::string put_expiration;
        bool any_put = false;
    };
    struct DaySpan {
        std::int64_t first_id = 0;
        std::int64_t last_id = 0;
    };

    std::map<std::string, Entry, std::less<>> contracts_;
    std::map<std::string, DaySpan, std::less<>> spans_;
    std::vector<common::Date> loaded_;
    std::vector<common::Date> days_;
};

}  // namespace zarvex::analytics
