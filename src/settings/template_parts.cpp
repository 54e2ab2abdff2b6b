#include "settings/template_parts.h"

#include "common/text.h"

namespace zarvex::settings {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Where "$" (no multiline) can stand: the very end, or before a final LF.
bool IsDollar(std::string_view text, std::size_t at) {
    return at == text.size() || (at + 1 == text.size() && text[at] == '\n');
}

}  // namespace

bool IsPcreSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::vector<std::string_view> NonBlankBraceContents(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 1;
    while (start < text.size()) {
        const std::size_t open = text.find('{', start - 1);
        if (open == kNone || open + 1 >= text.size()) {
            break;
        }
        const std::size_t first = open + 1;
        if (IsPcreSpace(text[first])) {
            start = first + 1;
            continue;
        }
        // The first character is taken whatever it is, even "}"; the lazy rest ends at the
        // next "}" after it. Without one no later start can match either.
        const std::size_t close = text.find('}', first + 1);
        if (close == kNone) {
            break;
        }
        parts.push_back(text.substr(first, close - first));
        start = close;
    }
    return parts;
}

std::vector<std::string_view> BraceContents(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    bool retry_non_empty = false;
    while (pos <= text.size()) {
        if (retry_non_empty) {
            // Anchored at pos, not empty: the lookbehind held for the empty match here.
            retry_non_empty = false;
            const std::size_t close = text.find('}', pos + 1);
            if (close == kNone) {
                ++pos;
                continue;
            }
            parts.push_back(text.substr(pos, close - pos));
            pos = close;
            continue;
        }
        const std::size_t open = text.find('{', pos == 0 ? 0 : pos - 1);
        if (open == kNone) {
            break;
        }
        const std::size_t first = open + 1;
        const std::size_t close = text.find('}', first);
        if (close == kNone) {
            break;
        }
        parts.push_back(text.substr(first, close - first));
        retry_non_empty = close == first;
        pos = close;
    }
    return parts;
}

std::vector<std::string_view> TemplateLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('{', pos);
        if (open == kNone) {
            break;
        }
        // The lazy middle stops at the first place where "}" CR follows or "$" holds. "$"
        // holds only at the end or before a final LF, so between two "}" there is nothing to
        // look at.
        const std::size_t last = text.size();
        std::size_t at = open + 1;
        std::size_t end = last;
        while (true) {
            if (at + 1 < last && text[at] == '}' && text[at + 1] == '\r') {
                end = at + 2;
                break;
            }
            if (IsDollar(text, at)) {
                end = at;
                break;
            }
            const std::size_t next = text.find('}', at + 1);
            if (next == kNone || next + 1 >= last) {
                end = text.back() == '\n' && last - 1 > at ? last - 1 : last;
                break;
            }
            at = next;
        }
        lines.push_back(text.substr(open, end - open));
        pos = end;
    }
    return lines;
}

std::vector<std::string_view> ListItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t first = pos;
        // A start is the text's start or right after a comma, on a non-blank character.
        while (first < text.size() &&
               !((first == 0 || text[first - 1] == ',') && !IsPcreSpace(text[first]))) {
            const std::size_t comma = text.find(',', first);
            if (comma == kNone) {
                first = text.size();
                break;
            }
            first = comma + 1;
        }
        if (first >= text.size()) {
            break;
        }
        std::size_t end = text.find(',', first + 1);
        if (end == kNone) {
            end = text.back() == '\n' && text.size() - 1 > first ? text.size() - 1 : text.size();
        }
        items.push_back(text.substr(first, end - first));
        pos = end;
    }
    return items;
}

std::vector<std::string_view> ConditionTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (IsPcreSpace(text[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos + 1;
        while (end < text.size() && !IsPcreSpace(text[end])) {
            ++end;
        }
        // The white-space character that ends the match belongs to it; trimming takes off
        // blanks only.
        const std::size_t match_end = end < text.size() ? end + 1 : end;
        tokens.push_back(common::Trim(text.substr(pos, match_end - pos)));
        pos = match_end;
    }
    return tokens;
}

DataTemplateParts SplitDataTemplate(std::string_view text) {
    DataTemplateParts split;
    const std::vector<std::string_view> parts = BraceContents(text);
    if (!parts.empty()) {
        split.fields = ListItems(parts[0]);
    }
    if (parts.size() >= 2 && parts[1].size() != 1) {
        split.condition = parts[1];
    }
    if (parts.size() >= 3) {
        split.separator = parts[2];
    }
    return split;
}

}  // namespace zarvex::settings
