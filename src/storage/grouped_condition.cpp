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

// The characters SQLite lets an identifier (or a keyword) hold: every byte from 0x80 up
// counts, so that no UTF-8 letter splits a word in two.
bool IsWordCharacter(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_' ||
           b == '$' || b >= 0x80;
}

bool IsParameterMark(char c) {
    return c == '?' || c == ':' || c == '@' || c == '$' || c == '#';
}

bool EqualsIgnoringCase(std::string_view word, std::string_view upper) {
    if (word.size() != upper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        const char folded = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (folded != upper[i]) {
            return false;
        }
    }
    return true;
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

std::optional<std::string> GroupRefusal(std::string_view condition) {
    if (condition.find('\0') != kNone) {
        return "it holds a NUL byte";
    }
    // The scan stops at the first parameter mark: up to there it reads the text as SQLite
    // does, since no other token of SQLite swallows a quote, a bracket or a comment mark.
    std::size_t at = 0;
    while (at < condition.size()) {
        const std::size_t skipped = SkipQuotedOrComment(condition, at);
        if (skipped != at) {
            at = skipped;
            continue;
        }
        if (IsParameterMark(condition[at])) {
            return "it holds a bind parameter (" + std::string(1, condition[at]) + ")";
        }
        if (!IsWordCharacter(condition[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < condition.size() && IsWordCharacter(condition[end])) {
            if (condition[end] == '$') {
                return "it holds a bind parameter ($)";
            }
            ++end;
        }
        const std::string_view word = condition.substr(at, end - at);
        if (EqualsIgnoringCase(word, "SELECT") || EqualsIgnoringCase(word, "WITH")) {
            return "it holds a subquery (" + std::string(word) + ")";
        }
        at = end;
    }
    if (!ParenthesesNest(condition)) {
        return "its parentheses do not nest";
    }
    return std::nullopt;
}

std::optional<std::string> AndGrouped(std::string_view condition) {
    if (GroupRefusal(condition)) {
        return std::nullopt;
    }
    std::string grouped = " AND (";
    grouped += condition;
    grouped += ')';
    return grouped;
}

}  // namespace zarvex::storage
