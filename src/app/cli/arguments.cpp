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
                throw UsageError("unknown option " + word);
            }
            if (values_.count(name) != 0) {
                throw UsageError("option " + word + " given twice");
            }
            if (flags.count(name) != 0) {
                values_[name] = "1";
                continue;
            }
            if (i + 1 >= words.size()) {
                throw UsageError("option " + word + " needs a value");
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
        throw UsageError(what + " must be a date YYYYMMDD: " + text);
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
        throw UsageError("--" + name + " must be a date DD.MM.YYYY: " + *text);
    }
    return date;
}

double Arguments::RequiredDouble(const std::string& name) const {
    const std::string text = Required(name);
    auto value = common::ParseDouble(text);
    if (!value) {
        throw UsageError("--" + name + " must be a number: " + text);
    }
    return *value;
}

std::optional<int> Arguments::IntInRange(const std::string& name, int low, int high) const {
    auto text = Get(name);
    if (!text) {
        return std::nullopt;
    }
    auto value = common::ParseInt(*text);
    if (!value || *value < low || *value > high) {
        throw UsageError("--" + name + " must be a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ": " + *text);
    }
    return static_cast<int>(*value);
}

}  // namespace zarvex::cli
