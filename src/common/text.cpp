#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zarvex::common {

namespace {

std::string_view SkipLeadingSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    return text.substr(i);
}

// from_chars accepts neither a leading '+' nor hexadecimal floats the way strtod does; we
// only need decimal numbers, so a leading '+' is dropped here and the rest is left to it.
std::string_view DropPlus(std::string_view text, bool& dropped) {
    dropped = !text.empty() && text.front() == '+';
    return dropped ? text.substr(1) : text;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string TrimCopy(std::string_view text) {
    return std::string(Trim(text));
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const auto pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    decimals = std::clamp(decimals, 0, 20);
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

std::string FormatShort(double value) {
    std::string text = FormatFixed(value, 10);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') {
            text.pop_back();
        }
        if (!text.empty() && text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

double ToDouble(std::string_view text) {
    bool plus = false;
    std::string_view rest = DropPlus(SkipLeadingSpace(text), plus);
    if (plus && !rest.empty() && rest.front() == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto result =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        return 0.0;
    }
    if (result.ec != std::errc{} || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

std::int64_t ToInt(std::string_view text) {
    bool plus = false;
    std::string_view rest = DropPlus(SkipLeadingSpace(text), plus);
    if (plus && !rest.empty() && rest.front() == '-') {
        return 0;
    }
    std::int64_t value = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    return result.ec == std::errc{} ? value : 0;
}

std::optional<double> ParseDouble(std::string_view text) {
    bool plus = false;
    std::string_view rest = DropPlus(Trim(text), plus);
    if (rest.empty() || (plus && rest.front() == '-')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto result =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != rest.data() + rest.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string Capped(std::string_view value) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if ((static_cast<unsigned char>(value[at]) & 0xC0) == 0x80) {
            continue;  // a continuation byte belongs to the character before
        }
        if (characters == kMostQuoted) {
            return std::string(value.substr(0, at)) + "...";
        }
        ++characters;
    }
    return std::string(value);
}

std::optional<std::int64_t> ParseInt(std::string_view text) {
    bool plus = false;
    std::string_view rest = DropPlus(Trim(text), plus);
    if (rest.empty() || (plus && rest.front() == '-')) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (result.ec != std::errc{} || result.ptr != rest.data() + rest.size()) {
        return std::nullopt;
    }
    return value;
}

std::size_t Utf8SequenceLength(std::string_view text) {
    const auto b0 = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (b0 < 0x80) {
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    std::uint32_t code = b0 & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace zarvex::common
