#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"

namespace zarvex::cli {

// Bad usage: the message is printed as one line on stderr and the exit status is 2.
class UsageError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options and positional words of one command, after the global options were taken out.
class Arguments final {
public:
    // Splits "--name value" pairs from positional words. Every name must be in allowed;
    // flags lists the options that take no value. Throws UsageError.
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& allowed,
              const std::set<std::string>& flags = {});

    bool Has(const std::string& name) const;
    std::optional<std::string> Get(const std::string& name) const;
    std::string Required(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

    // Typed readers; each throws UsageError naming the option when the value is malformed.
    common::Date RequiredDateKey(const std::string& name) const;  // YYYYMMDD
    common::Date RequiredDayText(const std::string& name) const;  // DD.MM.YYYY
    std::optional<common::Date> DayText(const std::string& name) const;
    // Plain decimals: digits with an optional fraction, a "-" only where allowed.
    double RequiredDouble(const std::string& name, bool negative_allowed) const;
    std::optional<int> IntInRange(const std::string& name, int low, int high) const;

private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

common::Date ParseDateKeyOrThrow(const std::string& text, const std::string& what);

// Numbers as the command line takes them: plain digits, a "-" only where a negative value is
// allowed, never "-0"; no blanks, "+", exponent or hexadecimal. nullopt otherwise.
std::optional<std::int64_t> PlainInteger(std::string_view text, bool negative_allowed);
std::optional<double> PlainDecimal(std::string_view text, bool negative_allowed);

}  // namespace zarvex::cli
