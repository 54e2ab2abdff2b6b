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

// " AND (" + condition + ")": a user's condition appended to a WHERE clause, grouped so that
// an OR in it cannot reach past the clause's own filters (the day, the contract, the option).
// nullopt when the condition's parentheses do not nest, because it would close the group
// early and reach past them anyway; the caller treats that as a failed query.
std::optional<std::string> AndGrouped(std::string_view condition);

}  // namespace zarvex::storage
