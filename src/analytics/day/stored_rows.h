#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/day/level_strikes.h"
#include "common/side.h"
#include "storage/database.h"

struct sqlite3_stmt;

namespace zarvex::analytics {

// One value of a quote row as SQLite stores it, with what its column readers give for it, so
// that calculations in memory filter and read exactly as the panel's queries do.
struct StoredValue {
    enum class Kind : std::uint8_t { kNull, kInteger, kReal, kText };
    Kind kind = Kind::kNull;
    double as_double = 0.0;   // sqlite3_column_double, 0.0 where that is not finite
    std::int64_t as_int = 0;  // sqlite3_column_int64
    std::string text;         // the text of a kText value only
    double raw = 0.0;         // sqlite3_column_double as it is, for comparisons
    bool finite = true;       // false for a stored infinity (or NaN)

    bool IsNumber() const { return kind == Kind::kInteger || kind == Kind::kReal; }
    // "column OP number" as SQL judges it on a numeric column: NULL matches nothing, a text
    // stands above every number.
    bool Less(double x) const { return IsNumber() && Number() < x; }
    bool Greater(double x) const { return kind == Kind::kText || (IsNumber() && Number() > x); }
    bool NotEqual(double x) const { return kind == Kind::kText || (IsNumber() && Number() != x); }
    bool Equal(double x) const { return IsNumber() && Number() == x; }
    double Number() const { return kind == Kind::kInteger ? static_cast<double>(as_int) : raw; }
};

// The columns of an option row that the left panel's calculations read.
struct StoredOption {
    // CALL where option = 'CALL', PUT where option = 'PUT' (as the database compares them);
    // none for a row of another option.
    std::optional<common::Side> side;
    StoredValue strike;
    StoredValue price;
    StoredValue delta;
    StoredValue volume;
    StoredValue oi;
    StoredValue doi;
};

// What a contract's rows of every day give the basic indicators: the CALL and PUT level
// strikes and the expiration.
struct ContractLevels {
    LevelStrikes call_levels;
    LevelStrikes put_levels;
    std::string expiration;
};

// Every CALL and PUT row of one contract, read from the file once in row order and grouped by
// their stored day text; with what the whole history gives the basic indicators.
struct ContractRows : ContractLevels {
    std::vector<StoredOption> rows;
    // Stored day text -> the positions of its rows, in row order.
    std::map<std::string, std::vector<std::size_t>, std::less<>> days;

    // The positions of the rows stored with exactly that day text; none for another.
    const std::vector<std::size_t>& Day(std::string_view date) const;
};

// The value of a column of the current row of a raw statement, with its storage class.
StoredValue ReadStoredValue(sqlite3_stmt* statement, int column);
// The same column as text ("" for NULL), valid until the statement moves on.
std::string_view ReadStoredText(sqlite3_stmt* statement, int column);
// The current row of a statement whose first eight columns are those of kOptionColumns:
// option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, doi.
StoredOption ReadStoredOption(sqlite3_stmt* statement);

// False when the rows could not be read (no quote table, a damaged file).
bool ReadContractRows(const storage::Database& db, const std::string& contract, ContractRows& out);
// The same for the level strikes and the expiration alone, without keeping the rows.
bool ReadContractLevels(const storage::Database& db, const std::string& contract,
                        ContractLevels& out);
// The CALL and PUT rows of one day and contract, in row order.
bool ReadDayRows(const storage::Database& db, const std::string& date, const std::string& contract,
                 std::vector<StoredOption>& out);

}  // namespace zarvex::analytics
