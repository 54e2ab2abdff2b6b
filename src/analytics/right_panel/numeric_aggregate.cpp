#include "analytics/right_panel/numeric_aggregate.h"

#include <optional>
#include <string>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

// nullopt when the first column is neither NULL nor a number.
std::optional<double> FirstValue(const storage::Database& db, std::string_view sql,
                                 std::initializer_list<storage::SqlValue> values) {
    storage::Statement query = db.Prepare(sql);
    query.BindAll(values);
    if (!query.Step() || query.IsNull(0)) {
        return 0.0;
    }
    if (!common::ParseDouble(query.ColumnTextView(0))) {
        return std::nullopt;
    }
    return query.ColumnDouble(0);
}

}  // namespace

double NumericAggregate(const storage::Database& db, std::string_view sql, std::string_view column,
                        std::initializer_list<storage::SqlValue> values) {
    if (const std::optional<double> value = FirstValue(db, sql, values)) {
        return *value;
    }
    std::string numeric(sql);
    numeric += " AND typeof(";
    numeric += column;
    numeric += ") IN ('integer', 'real')";
    return FirstValue(db, numeric, values).value_or(0.0);
}

}  // namespace zarvex::analytics
