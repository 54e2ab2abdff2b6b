#include "acquisition/answer_checks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace zarvex::acquisition {

namespace {

// The reader takes the number from the fifth character of the line on.
constexpr std::size_t kValueColumn = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// How a line's value reads: no numeral at all, a number, or digits that are no number.
enum class Value { kNone, kNumber, kDamaged };

std::size_t SkipDigits(std::string_view text, std::size_t at, std::size_t& digits) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
        ++digits;
    }
    return at;
}

Value ReadValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\v\f").find(text[i]) != std::string_view::npos) {
        ++i;
    }
    const std::size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    i = SkipDigits(text, i, digits);
    if (i < text.size() && text[i] == '.') {
        i = SkipDigits(text, i + 1, digits);
    }
    if (digits == 0) {
        return Value::kNone;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        std::size_t exponent_digits = 0;
        j = SkipDigits(text, j, exponent_digits);
        if (exponent_digits > 0) {
            i = j;
        }
    }
    const std::string_view numeral = text.substr(begin, i - begin);
    if (numeral.size() > kLongestForwardPoint) {
        return Value::kDamaged;
    }
    const std::string_view unsigned_part =
        numeral.front() == '+' || numeral.front() == '-' ? numeral.substr(1) : numeral;
    double value = 0.0;
    const auto read =
        std::from_chars(unsigned_part.data(), unsigned_part.data() + unsigned_part.size(), value);
    if (read.ec != std::errc{} || !std::isfinite(value)) {
        return Value::kDamaged;
    }
    return Value::kNumber;
}

bool EndsWithLineBreak(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

bool ListingNames(std::string_view listing, std::string_view file_name) {
    return !file_name.empty() && listing.find(file_name) != std::string_view::npos;
}

bool HoldsForwardPoint(std::string_view body) {
    body = body.substr(0, body.find('\0'));
    bool found = false;
    while (!body.empty()) {
        const std::size_t end = std::min(body.find_first_of("\r\n"), body.size());
        const std::string_view line = body.substr(0, end);
        if (line.size() > kValueColumn) {
            const Value value = ReadValue(line.substr(kValueColumn));
            if (value == Value::kDamaged) {
                return false;
            }
            found = found || value == Value::kNumber;
        }
        body.remove_prefix(std::min(end + 1, body.size()));
    }
    return found;
}

bool IsForwardPointAnswer(const FetchResult& result, std::string_view buffer) {
    if (result.not_found || result.count <= 0 || result.cut || IsErrorPage(result, buffer)) {
        return false;
    }
    const auto count = static_cast<std::size_t>(result.count);
    return HoldsForwardPoint(buffer.substr(0, std::min(count, buffer.size())));
}

BodyVerdict JudgeBody(const ReceivedBody& first, const ReceivedBody* second, BodyEnd end) {
    if (first.cut) {
        return BodyVerdict::kTooLong;
    }
    if (first.length_proven) {
        return BodyVerdict::kStore;
    }
    // However often it comes the same, a text that stops inside its last line was cut.
    if (end == BodyEnd::kLineBreak && !first.bytes.empty() && !EndsWithLineBreak(first.bytes)) {
        return BodyVerdict::kStopsMidLine;
    }
    if (second == nullptr) {
        return BodyVerdict::kFetchAgain;
    }
    if (second->cut) {
        return BodyVerdict::kTooLong;
    }
    return second->bytes == first.bytes ? BodyVerdict::kStore : BodyVerdict::kDiffers;
}

std::string RefusalText(std::string_view url, BodyVerdict verdict, std::size_t capacity) {
    std::string text(url);
    switch (verdict) {
        case BodyVerdict::kTooLong:
            return text + " is longer than " + std::to_string(capacity) +
                   " bytes: refused, nothing stored";
        case BodyVerdict::kDiffers:
            return text +
                   " came twice without a length and the two differ: cut short, nothing "
                   "stored";
        case BodyVerdict::kStopsMidLine:
            return text +
                   " came without a length and stops inside a line: cut short, nothing "
                   "stored";
        case BodyVerdict::kStore:
        case BodyVerdict::kFetchAgain:
            break;
    }
    return text + " refused";
}

}  // namespace zarvex::acquisition
