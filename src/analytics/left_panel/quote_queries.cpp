#include "analytics/left_panel/quote_queries.h"

#include <cmath>

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

std::string StrikeText(double strike) {
    return common::FormatShort(strike);
}

std::optional<double> Premium(const storage::Database& db, std::string_view option,
                              std::string_view contract, std::string_view date,
                              std::string_view strike_text) {
    const std::string_view sql =
        option == "CALL"
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
