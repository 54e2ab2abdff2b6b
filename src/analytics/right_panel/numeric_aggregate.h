#pragma once

#include <initializer_list>
#include <string_view>

#include "storage/database.h"
#include "storage/sql_value.h"

namespace zarvex::analytics {

// The value of an aggregate query over the quote table (MAX(strike), MIN(strike), MAX(oi))
// as a number; 0.0 when there is no row, the value is NULL or the query fails.
//
// A blank line inside a report block is stored as a row whose columns hold empty texts, and
// SQLite orders any text above every number: MAX(strike) then yields "", which reads as 0 and
// would throw away the day's real highest strike. When the aggregate comes back as something
// that is not a number, the query is asked again over the rows whose column holds a number.
double NumericAggregate(const storage::Database& db, std::string_view sql, std::string_view column,
                        std::initializer_list<storage::SqlValue> values);

}  // namespace zarvex::analytics
