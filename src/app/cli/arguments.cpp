#include "app/cli/arguments.h"

#include "common/text.h"

namespace zarvex::cli {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& allowed,
                     const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            const std::string name = word.substr(2);
            if (allowed.count(name) == 0 && flags.count(name) == 0) {
                throw UsageError("unknown option " + common::Capped(word));
            }
            if (values_.count(name) != 0) {
                throw UsageError("option " + common::Capped(word) + " given twice");
            }
            if (flags.count(name) != 0) {
                values_[name] = "1";
                continue;
            }
            if (i + 1 >= words.size()) {
                throw UsageError("option " + common::Capped(word) + " needs a value");
            }
            values_[name] = words[++i];
        } else {
            positional_.push_back(word);
        }
    }
}

bool Arguments::Has(const std::string& name) const {
    return values_.count(name) != 0;
}

std::optional<std::string> Arguments::Get(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string Arguments::Required(const std::string& name) const {
    auto value = Get(name);
    if (!value) {
        throw UsageError("missing option --" + name);
    }
    return *value;
}

common::Date ParseDateKeyOrThrow(const std::string& text, const std::string& what) {
    const common::Date date = common::ParseDate(text, "%yyyy%mm%dd");
    if (date == common::kInvalidDate) {
        throw UsageError(what + " must be a date YYYYMMDD: " + common::Capped(text));
    }
    return date;
}

common::Date Arguments::RequiredDateKey(const std::string& name) const {
    return ParseDateKeyOrThrow(Required(name), "--" + name);
}

common::Date Arguments::RequiredDayText(const std::string& name) const {
    auto date = DayText(name);
    if (!date) {
        throw UsageError("missing option --" + name);
    }
    return *date;
}

std::optional<common::Date> Arguments::DayText(const std::string& name) const {
    auto text = Get(name);
    if (!text) {
        return std::nullopt;
    }
    const common::Date date = common::ParseDate(*text, "%dd.%mm.%yyyy");
    if (date == common::kInvalidDate) {
        throw UsageError("--" + name + " must be a date DD.MM.YYYY: " + common::Capped(*text));
    }
    return date;
}

std::optional<std::int64_t> PlainInteger(std::string_view text, bool negative_allowed) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if ((negative && !negative_allowed) || digits.empty() || digits.size() > 18 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::int64_t value = common::ToInt(digits);
    if (negative && value == 0) {
        return std::nullopt;  // "-0" is no number a user means
    }
    return negative ? -value : value;
}

std::optional<double> PlainDecimal(std::string_view text, bool negative_allowed) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view number = negative ? text.substr(1) : text;
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    const auto all_digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if ((negative && !negative_allowed) || whole.empty() || !all_digits(whole) ||
        !all_digits(fraction) || (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    const std::optional<double> value = common::ParseDouble(text);
    if (!value || (negative && *value == 0.0)) {
        return std::nullopt;
    }
    return value;
}

double Arguments::RequiredDouble(const std::string& name, bool negative_allowed) const {
    const std::string text = Required(name);
    auto value = PlainDecimal(text, negative_allowed);
    if (!value) {
        throw UsageError("--" + name + " must be a number: " + common::Capped(text));
    }
    return *value;
}

std::optional<int> Arguments::IntInRange(const std::string& name, int low, int high) const {
    auto text = Get(name);
    if (!text) {
        return std::nullopt;
    }
    auto value = PlainInteger(*text, low < 0);
    if (!value || *value < low || *value > high) {
        throw UsageError("--" + name + " must be a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ": " + common::Capped(*text));
    }
    return static_cast<int>(*value);
}

}  // namespace zarvex::cli
