#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "common/result.h"
#include "common/side.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The eight visible columns of a table row: "Strike", "Price", "Delta", "Vol.", "OI",
// "Chng.OI", "+/-", "Pr*OI". (Column 0 of the table control stays empty and is not kept.)
inline constexpr std::size_t kOptionTableColumns = 8;
using OptionTableRow = std::array<std::string, kOptionTableColumns>;

// The option chain of one side, ordered by strike, closed by its TOTAL row: "TOTAL", the sums
// of volume and open interest without decimals, and the sum of premium x open interest.
struct OptionTable {
    std::vector<OptionTableRow> rows;
};

struct OptionTables {
    OptionTable put;
    OptionTable call;
};

// One side of the day and contract; the reason when its query fails.
common::Result<OptionTable> FillOptionTable(const storage::Database& db, std::string_view date,
                                            std::string_view contract, common::Side side);

// Both sides, announced in the status bar under the UI lock as the panel fills them; the
// first side's reason when either query fails.
common::Result<OptionTables> FillOptionTables(const storage::Database& db, std::string_view date,
                                              std::string_view contract, const common::Host& host);

// The texts of the cells, as the tables show them.
// Premium and delta: 5 decimals, but "0" and "1" for exactly 0 and 1.
std::string OptionUnitText(double value);
// The sign column: "-" for -1, "+" for 1, anything else as stored.
std::string OptionSignText(std::string_view stored);
// Premium x open interest: 4 decimals, "0" for a zero product.
std::string PriceTimesOiText(double product);

// The forward point beside "Forward Point:", with one decimal.
std::string ForwardPointText(double forward_point);
// The field and its label are hidden for the symbols that have no forward points.
bool ShowsForwardPoint(std::string_view symbol);

}  // namespace zarvex::analytics
