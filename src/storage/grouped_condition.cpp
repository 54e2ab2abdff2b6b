#include "storage/grouped_condition.h"

namespace zarvex::storage {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Where the text that opens at `at` ends for SQLite's tokenizer (just past its closing
// mark, or the text's end when it stays open); `at` itself when nothing opens there.
std::size_t SkipQuotedOrComment(std::string_view sql, std::size_t at) {
    auto past = [&](std::size_t found, std::size_t mark_size) {
        return found == kNone ? sql.size() : found + mark_size;
    };
    const char c = sql[at];
    if (c == '\'' || c == '"' || c == '`') {
        // A doubled quote inside is the quote itself: the scan just closes and reopens.
        return past(sql.find(c, at + 1), 1);
    }
    if (c == '[') {
        return past(sql.find(']', at + 1), 1);
    }
    if (c == '-' && at + 1 < sql.size() && sql[at + 1] == '-') {
        return past(sql.find('\n', at + 2), 1);
    }
    if (c == '/' && at + 1 < sql.size() && sql[at + 1] == '*') {
        return past(sql.find("*/", at + 2), 2);
    }
    return at;
}

}  // namespace

bool ParenthesesNest(std::string_view sql) {
    long depth = 0;
    std::size_t at = 0;
    while (at < sql.size()) {
        const std::size_t skipped = SkipQuotedOrComment(sql, at);
        if (skipped != at) {
            at = skipped;
            continue;
        }
        if (sql[at] == '(') {
            ++depth;
        } else if (sql[at] == ')' && --depth < 0) {
            return false;
        }
        ++at;
    }
    return depth == 0;
}

std::optional<std::string> AndGrouped(std::string_view condition) {
    if (!ParenthesesNest(condition)) {
        return std::nullopt;
    }
    std::string grouped = " AND (";
    grouped += condition;
    grouped += ')';
    return grouped;
}

}  // namespace zarvex::storage
