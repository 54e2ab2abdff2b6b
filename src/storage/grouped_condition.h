#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarvex::storage {

// Whether the parentheses SQLite sees in the text (outside string literals, quoted names and
// comments) nest: never more closed than opened at any point, and all closed at the end. Only
// such a text stays inside a pair of parentheses put around it. A literal or comment left
// open runs to the end, as SQLite reads it; the query then fails rather than escaping.
bool ParenthesesNest(std::string_view sql);

// Why a user's condition may not be put into a query, or nullopt when it may. The text is read
// as SQLite's tokenizer reads it, and refused when
// - its parentheses do not nest (ParenthesesNest);
// - it holds a bind parameter: "?", ":", "@", "$" or "#" outside a string literal, quoted name
//   or comment. SQLite reads "$a(...)" as one parameter token, brackets and quotes included,
//   so a quote inside one would make this scan and SQLite part ways; and an unbound parameter
//   is NULL, which no condition means;
// - it holds the word SELECT or WITH: a subquery or a common table expression, which reads
//   beyond the row and can run without end;
// - it holds a NUL byte, where SQLite stops reading the statement.
// Conditions are stored in the settings rows and can be written there by anything, so this
// is checked where the query is made, whatever the settings dialog let through.
std::optional<std::string> GroupRefusal(std::string_view condition);

// " AND (" + condition + ")": a user's condition appended to a WHERE clause, grouped so that
// an OR in it cannot reach past the clause's own filters (the day, the contract, the option).
// nullopt when GroupRefusal refuses the condition; the caller treats that as a failed query.
std::optional<std::string> AndGrouped(std::string_view condition);

}  // namespace zarvex::storage
