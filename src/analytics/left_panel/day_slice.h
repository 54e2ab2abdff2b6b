#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/day/day_figures.h"
#include "analytics/day/stored_rows.h"
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
//
// The figures that need no user condition are computed in memory from the day's rows and from
// what the contract's rows of every day give the levels, each read once and kept the same way:
// a change of day reads only that day's rows.
class DaySlice final {
public:
    // What the following calls read. `source` must stay open while they are made.
    DaySlice& Select(const storage::Database& source, std::string_view date,
                     std::string_view contract);

    // Where a query of the day and contract with the user's condition runs (an empty condition
    // for none): the copy, or `source` itself for a condition that reads beyond its row, and
    // when no copy can be made (no table, a failed read), so that the queries fail or succeed
    // there as they would.
    const storage::Database& RowsFor(std::string_view condition);
    // The day's figures; nullopt when the contract's rows cannot be read.
    std::optional<DayFigures> Figures();

    void Reset();

private:
    bool Make();

    const storage::Database* source_ = nullptr;
    std::string date_;
    std::string contract_;

    storage::Database memory_;
    const void* copied_from_ = nullptr;
    std::int64_t copied_version_ = -1;
    std::string copied_date_;
    std::string copied_contract_;
    bool copy_valid_ = false;

    ContractLevels levels_;
    const void* levels_from_ = nullptr;
    std::int64_t levels_version_ = -1;
    std::string levels_contract_;
    bool levels_valid_ = false;

    std::vector<StoredOption> day_rows_;
    std::vector<std::size_t> day_positions_;
    const void* day_from_ = nullptr;
    std::int64_t day_version_ = -1;
    std::string day_date_;
    std::string day_contract_;
    bool day_valid_ = false;
};

// Whether a user condition can read anything beyond the row it is tested on (a subquery, a
// table-valued function, the schema): such a condition must run on the whole file.
bool ConditionLooksBeyondTheRow(std::string_view condition);

}  // namespace zarvex::analytics
