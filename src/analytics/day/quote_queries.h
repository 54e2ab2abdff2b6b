#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/side.h"
#include "storage/database.h"
#include "storage/quote_columns.h"
#include "storage/statement.h"

namespace zarvex::analytics::quotes {

// Column positions of an option row as "SELECT * FROM dating" returns it.
using namespace storage::quote_column;

// Prepares sql and binds the texts to its parameters in order. Texts bound into a numeric
// column compare exactly as the same text between quotes would.
storage::Statement Query(const storage::Database& db, std::string_view sql,
                         std::initializer_list<std::string_view> texts);

// A column read as a number. Texts read as their leading number or 0, NULL as 0; a stored
// infinity reads as 0 so that no text ever shows inf or nan.
double ReadDouble(const storage::Statement& statement, int column);
std::int64_t ReadInt(const storage::Statement& statement, int column);

// The first column of the first row read as an integer or a double (an empty result, such as
// the SUM or MAX of no rows, reads 0). nullopt when the query failed.
std::optional<std::int64_t> ScalarInt(const storage::Database& db, std::string_view sql,
                                      std::initializer_list<std::string_view> texts);
std::optional<double> ScalarDouble(const storage::Database& db, std::string_view sql,
                                   std::initializer_list<std::string_view> texts);

// An aggregate over one column of the option rows (MAX(oi), MAX(strike), MIN(strike)) as
// ScalarInt and ScalarDouble read it. Older extractions stored a blank line inside a report
// block as a row of empty texts, and SQLite orders any text above every number, so MAX would
// name that row; when the result is not a number the query is asked again over the rows whose
// column holds a number.
std::optional<std::int64_t> AggregateInt(const storage::Database& db, std::string_view sql,
                                         std::string_view column,
                                         std::initializer_list<std::string_view> texts);
std::optional<double> AggregateDouble(const storage::Database& db, std::string_view sql,
                                      std::string_view column,
                                      std::initializer_list<std::string_view> texts);

// Whether a row of "SELECT * FROM dating" is what older extractions stored for a blank line
// inside a report block: empty texts where the premium and the open interest belong. It is no
// option and takes no place among the levels and fractals.
bool IsBlankLineRow(const storage::Statement& statement);

// The strike as the lookups write it: up to ten decimals, no trailing zeros ("1.1", "0.985").
std::string StrikeText(double strike);

// Column `price` of the first row of the option at that strike of the day and contract; 0.0
// when there is none, nullopt when the query failed. strike_text is bound as it is.
std::optional<double> Premium(const storage::Database& db, common::Side side,
                              std::string_view contract, std::string_view date,
                              std::string_view strike_text);

// A strike rounded to the nearest whole number (halves away from zero), kept within range.
std::int64_t RoundedStrike(double strike);

}  // namespace zarvex::analytics::quotes
