#pragma once

#include <cstdint>
#include <string>

#include "storage/database.h"

namespace zarvex::analytics {

// A private in-memory copy of the rows of one day and contract, with the quote table's own
// declaration, so that the panel's many queries on a day and contract read a few hundred rows
// instead of the contract's whole history: the quote database has one index per column, and
// SQLite answers "date = ? AND contract = ?" through the contract index, which on a contract
// traded for months means tens of thousands of rows per query.
//
// Rows keep their values, storage classes and row ids, and queries on a single table without
// an index return them in row id order, which is the order the indexed queries of the file
// give; so every query that selects within the day and contract returns the same rows in the
// same order. The copy follows the file: it is made again when the day, the contract or the
// file's content (another connection wrote) changed.
class DaySlice final {
public:
    // The copy for the day and contract of `source`; `source` itself when no copy can be made
    // (no table, a failed read), so that the queries fail or succeed there as they would.
    const storage::Database& Rows(const storage::Database& source, const std::string& date,
                                  const std::string& contract);
    void Reset();

private:
    bool Make(const storage::Database& source, const std::string& date,
              const std::string& contract);

    storage::Database memory_;
    const void* source_ = nullptr;
    std::int64_t version_ = -1;
    std::string date_;
    std::string contract_;
    bool valid_ = false;
};

// Whether a user condition can read anything beyond the row it is tested on (a subquery, a
// table-valued function, the schema): such a condition must run on the whole file.
bool ConditionLooksBeyondTheRow(const std::string& condition);

}  // namespace zarvex::analytics
