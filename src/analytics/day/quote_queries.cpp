#include "analytics/day/quote_queries.h"

#include <cmath>
#include <string>

#include "common/text.h"

namespace zarvex::analytics::quotes {

storage::Statement Query(const storage::Database& db, std::string_view sql,
                         std::initializer_list<std::string_view> texts) {
    storage::Statement statement = db.Prepare(sql);
    int index = 1;
    for (std::string_view text : texts) {
        statement.Bind(index++, text);
    }
    return statement;
}

double ReadDouble(const storage::Statement& statement, int column) {
    const double value = statement.ColumnDouble(column);
    return std::isfinite(value) ? value : 0.0;
}

std::int64_t ReadInt(const storage::Statement& statement, int column) {
    return statement.ColumnInt(column);
}

std::optional<std::int64_t> ScalarInt(const storage::Database& db, std::string_view sql,
                                      std::initializer_list<std::string_view> texts) {
    storage::Statement statement = Query(db, sql, texts);
    if (statement.Step()) {
        return ReadInt(statement, 0);
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return 0;
}

std::optional<double> ScalarDouble(const storage::Database& db, std::string_view sql,
                                   std::initializer_list<std::string_view> texts) {
    storage::Statement statement = Query(db, sql, texts);
    if (statement.Step()) {
        return ReadDouble(statement, 0);
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return 0.0;
}

namespace {

// The first column of the first row of the query read by `read` (T{} without a row); nullopt
// when the query failed. `numeric` tells whether that value is NULL or reads as a number.
template <typename T, typename Reader>
std::optional<T> FirstValue(const storage::Database& db, std::string_view sql,
                            std::initializer_list<std::string_view> texts, bool& numeric,
                            Reader read) {
    numeric = true;
    storage::Statement statement = Query(db, sql, texts);
    if (statement.Step()) {
        numeric = statement.IsNull(0) || common::ParseDouble(statement.ColumnTextView(0));
        return read(statement);
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return T{};
}

template <typename T, typename Reader>
std::optional<T> Aggregate(const storage::Database& db, std::string_view sql,
                           std::string_view column, std::initializer_list<std::string_view> texts,
                           Reader read) {
    bool numeric = true;
    const std::optional<T> value = FirstValue<T>(db, sql, texts, numeric, read);
    if (!value || numeric) {
        return value;
    }
    std::string numbers_only(sql);
    numbers_only += " AND typeof(";
    numbers_only += column;
    numbers_only += ") IN ('integer', 'real')";
    const std::optional<T> again = FirstValue<T>(db, numbers_only, texts, numeric, read);
    if (again && !numeric) {
        return T{};
    }
    return again;
}

}  // namespace

std::optional<std::int64_t> AggregateInt(const storage::Database& db, std::string_view sql,
                                         std::string_view column,
                                         std::initializer_list<std::string_view> texts) {
    return Aggregate<std::int64_t>(db, sql, column, texts, [](const storage::Statement& statement) {
        return ReadInt(statement, 0);
    });
}

std::optional<double> AggregateDouble(const storage::Database& db, std::string_view sql,
                                      std::string_view column,
                                      std::initializer_list<std::string_view> texts) {
    return Aggregate<double>(db, sql, column, texts, [](const storage::Statement& statement) {
        return ReadDouble(statement, 0);
    });
}

bool IsBlankLineRow(const storage::Statement& statement) {
    auto empty_text = [&statement](int column) {
        return !statement.IsNull(column) && common::Trim(statement.ColumnTextView(column)).empty();
    };
    return empty_text(kPrice) && empty_text(kOi);
}

std::string StrikeText(double strike) {
    return common::FormatShort(strike);
}

std::optional<double> Premium(const storage::Database& db, common::Side side,
                              std::string_view contract, std::string_view date,
                              std::string_view strike_text) {
    const std::string_view sql =
        side == common::Side::kCall
            ? "SELECT * FROM dating WHERE option = 'CALL' AND contract = ? AND date = ? AND "
              "strike = ?"
            : "SELECT * FROM dating WHERE option = 'PUT' AND contract = ? AND date = ? AND "
              "strike = ?";
    storage::Statement statement = Query(db, sql, {contract, date, strike_text});
    if (statement.Step()) {
        return ReadDouble(statement, kPrice);
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return 0.0;
}

std::int64_t RoundedStrike(double strike) {
    // Beyond this a double holds no fraction anyway, and llround would leave its range.
    constexpr double kLimit = 9.0e18;
    if (!std::isfinite(strike)) {
        return 0;
    }
    if (strike >= kLimit) {
        return static_cast<std::int64_t>(kLimit);
    }
    if (strike <= -kLimit) {
        return -static_cast<std::int64_t>(kLimit);
    }
    return std::llround(strike);
}

}  // namespace zarvex::analytics::quotes
