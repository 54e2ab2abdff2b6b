#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analytics/day/stored_rows.h"
#include "common/date.h"
#include "common/result.h"
#include "common/side.h"
#include "storage/database.h"

namespace zarvex::analytics {

// One CALL or PUT row as the day's lines read it, as numbers.
struct NumericRow {
    double strike = 0.0;
    double price = 0.0;
    double delta = 0.0;
    std::int64_t volume = 0;
    std::int64_t oi = 0;
    // 1 + its index among the contract's rows kept whole; 0 for a row of plain numbers.
    std::uint32_t whole = 0;
    common::Side side = common::Side::kCall;
};

// A contract's CALL and PUT rows of every day, read for the scorecard. Years of a symbol's rows
// are over a million: as StoredOption, each value with its text and every reading of it, they
// take half a gigabyte and most of the scorecard's time. Here a row is the five numbers the
// lines read (strike, premium, delta, volume, open interest), as an extraction stores them: the
// three reals and the two integers. A row with any other value (a NULL, a text, a real volume,
// an infinity) is kept whole beside, so that a day unfolded reads exactly as the stored rows
// do. The change of open interest is not kept: no line reads it.
struct NumericContract {
    std::string contract;
    // As the panel reads it: the last PUT row's expiration, else the last CALL row's.
    std::string expiration;
    std::vector<NumericRow> rows;     // in row order
    std::vector<StoredOption> whole;  // the rows kept whole, as ReadStoredValue reads them
    // The days whose text names a day, ascending, with the positions of their rows among
    // `rows` in row order. Rows of any other text are not kept.
    std::vector<std::pair<common::Date, std::vector<std::size_t>>> days;

    // The row at `position` as StoredOption, the change of open interest NULL.
    StoredOption Unfold(std::size_t position) const;
    // The same written over `out`.
    void UnfoldInto(std::size_t position, StoredOption& out) const;
    // The rows of days[day], in row order, into `out` (replacing what it held).
    void UnfoldDay(std::size_t day, std::vector<StoredOption>& out) const;
};

// Every contract's rows of the quote table (ascending contract text), in one pass over the
// file; no other thread may use `db` meanwhile. Fails, naming the fault, when the rows cannot
// be read.
common::Result<std::vector<NumericContract>> ReadNumericContracts(const storage::Database& db);

}  // namespace zarvex::analytics
