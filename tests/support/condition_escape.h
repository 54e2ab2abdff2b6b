#pragma once

// What a user's condition must never do once the query guard let it through: reach past the
// group its query puts it in. Shared by the guard's property test and its fuzz target.

#include <array>
#include <string>
#include <string_view>

#include "storage/condition_bound.h"
#include "storage/database.h"
#include "storage/grouped_condition.h"
#include "storage/statement.h"
#include "storage/store.h"

namespace zarvex::test {

// The quote table with two rows of different days, in memory (the tests check that both are
// there: without rows no condition could show that it escapes).
inline storage::Database ConditionTable() {
    storage::Database db = storage::Database::Open(":memory:");
    db.Execute(storage::CreateTableSql(storage::StoreKind::kQuote));
    db.Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES (1.1, 0.01, 0.5, 10, 500, 5, 1, 'EUR', 'CALL', "
        "'DEC12', "
        "'07.12.2012', '03.12.2012'), (1.2, 0.02, 0.4, 20, 900, -5, -1, 'EUR', 'PUT', 'DEC12', "
        "'07.12.2012', '04.12.2012')");
    return db;
}

// Whether the condition, grouped as the program groups it, lets a row through that the
// query's own filter excludes: under "WHERE 0" no row may come, and under the day's filter no
// row of another day. A query that fails, or is stopped by the bound, lets nothing through.
inline bool LeavesItsGroup(const storage::Database& db, std::string_view condition) {
    const std::string grouped = " AND (" + std::string(condition) + ")";
    const storage::ConditionBound bound(db);
    storage::Statement never = db.Prepare("SELECT * FROM dating WHERE 0" + grouped);
    if (never.Step()) {
        return true;
    }
    storage::Statement day = db.Prepare("SELECT date FROM dating WHERE date = ?" + grouped);
    day.BindAll({std::string_view("03.12.2012")});
    while (day.Step()) {
        if (day.ColumnTextView(0) != "03.12.2012") {
            return true;
        }
    }
    return false;
}

// A condition-like text put together from pieces that open or close a group, a literal, a
// quoted name or a comment, make a parameter, a subquery or a long computation, chosen by the
// bytes: random inputs that reach the corners of SQLite's tokenizer far more often than
// random characters do.
inline std::string ConditionFromPieces(std::string_view bytes) {
    static constexpr std::array<std::string_view, 48> kPieces{
        "oi",   ">",    "1",    "0",      "=",        " ",         "OR",     "AND",
        "(",    ")",    "'",    "\"",     "`",        "[",         "]",      "--",
        "\n",   "/*",   "*/",   "$a",     "$a(",      "?",         "?1",     ":x",
        "@y",   "#z",   "::",   "SELECT", "select 1", "WITH",      "x'",     "date",
        ",",    ";",    "||",   "-",      "NOT",      "IN",        "CASE",   "END",
        "\xc3", "\xa9", "NULL", "1=1",    "oi>$b('",  "') ) OR (", "strike", "\\"};
    std::string text;
    for (const char byte : bytes) {
        text += kPieces[static_cast<unsigned char>(byte) % kPieces.size()];
    }
    return text;
}

}  // namespace zarvex::test
