#include "analytics/board/alert_rules.h"

#include <array>
#include <cmath>
#include <utility>

#include "common/symbols.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr std::array<std::pair<std::string_view, AlertTest>, 4> kTests{{
    {"above", AlertTest::kAbove},
    {"below", AlertTest::kBelow},
    {"crosses", AlertTest::kCrosses},
    {"moves", AlertTest::kMoves},
}};

// Rules are short: a line longer than this is no rule (and not worth echoing whole).
constexpr std::size_t kLongestLine = 1000;

// What a rule may name: the board's compared figures of a contract, and a symbol's across days.
constexpr std::uint8_t kRuleFigures = figure_output::kCompared | figure_output::kSymbol;

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = line.find_first_of(" \t", start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        at = end == std::string_view::npos ? line.size() : end;
    }
    return fields;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "…\"" : "\"");
}

// The rule of one line, or the reason it is none.
std::optional<AlertRule> ParseLine(std::string_view line, std::string& error) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 5) {
        error = "expected 5 fields (symbol contract figure test value), found " +
                std::to_string(fields.size());
        return std::nullopt;
    }
    AlertRule rule;
    rule.symbol = common::ToUpperAscii(fields[0]);
    if (common::InstrumentIndex(rule.symbol) < 0) {
        error = "unknown symbol " + Quoted(fields[0]) + " (EUR, GBP, AUD, CAD, JPY or CHF)";
        return std::nullopt;
    }
    rule.contract = common::ToLowerAscii(fields[1]) == "front" ? "front" : std::string(fields[1]);
    const std::optional<FigureId> figure = FigureByKey(common::ToLowerAscii(fields[2]));
    if (!figure || !Figure(*figure).In(kRuleFigures)) {
        error = "unknown figure " + Quoted(fields[2]) + " (call_level, put_level, max_pain, ...)";
        return std::nullopt;
    }
    rule.figure = *figure;
    const std::string test = common::ToLowerAscii(fields[3]);
    bool known = false;
    for (const auto& [word, value] : kTests) {
        if (word == test) {
            rule.test = value;
            known = true;
        }
    }
    if (!known) {
        error = "unknown test " + Quoted(fields[3]) + " (above, below, crosses or moves)";
        return std::nullopt;
    }
    std::string_view value = fields[4];
    if (!value.empty() && value.back() == '%') {
        rule.percent = true;
        value.remove_suffix(1);
    }
    const std::optional<double> number = common::ParseDouble(value);
    if (!number || !std::isfinite(*number)) {
        error = "the value " + Quoted(fields[4]) + " is not a number";
        return std::nullopt;
    }
    rule.value = *number;
    if (rule.percent && rule.test != AlertTest::kMoves) {
        error = "a percentage is a value of \"moves\" only";
        return std::nullopt;
    }
    if (rule.test == AlertTest::kMoves && !(rule.value > 0.0)) {
        error = "\"moves\" needs an amount above 0";
        return std::nullopt;
    }
    return rule;
}

}  // namespace

std::string_view AlertTestWord(AlertTest test) {
    for (const auto& [word, value] : kTests) {
        if (value == test) {
            return word;
        }
    }
    return "";
}

AlertRules ParseAlertRules(std::string_view text) {
    AlertRules out;
    int number = 0;
    // An editor's byte-order mark would otherwise stand, unseen, before the first symbol.
    std::size_t at = common::StartsWith(text, "\xEF\xBB\xBF") ? 3 : 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        std::string_view line =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos || line[start] == '#') {
            continue;
        }
        std::string error;
        if (line.size() > kLongestLine) {
            error = "the line is longer than " + std::to_string(kLongestLine) + " characters";
        } else if (std::optional<AlertRule> rule = ParseLine(line, error)) {
            rule->line = number;
            const std::size_t last = line.find_last_not_of(" \t");
            rule->text = std::string(line.substr(start, last - start + 1));
            out.rules.push_back(std::move(*rule));
            continue;
        }
        out.errors.push_back({number, "line " + std::to_string(number) + ": " + error});
    }
    return out;
}

std::string_view AlertRulesFileHeader() {
    static const std::string header = [] {
        std::string text =
            "# Zarvex alert rules: one rule per line, checked after every day run.\n"
            "#\n"
            "#   SYMBOL CONTRACT FIGURE TEST VALUE\n"
            "#\n"
            "# SYMBOL    EUR, GBP, AUD, CAD, JPY or CHF\n"
            "# CONTRACT  a contract code such as MAR13-EU, or front for the nearest expiring one\n";
        // The figure names as the rules take them, wrapped as wide as the line above.
        constexpr std::size_t kWidth = 84;
        std::string line = "# FIGURE   ";
        for (const FigureId id : FiguresIn(kRuleFigures)) {
            const std::string_view key = Figure(id).key;
            if (line.size() + 1 + key.size() > kWidth) {
                text += line + "\n";
                line = "#          ";
            }
            line += " " + std::string(key);
        }
        text += line + "\n";
        text +=
            "#           cm30 to vrp20 are the symbol's volatility across its stored days, as\n"
            "#           vol --history gives them, whichever of its contracts the rule names:\n"
            "#           iv_rank and iv_percentile from 0 to 100 (none before 20 days), the\n"
            "#           others decimals (0.012 is 1.2 volatility points)\n"
            "# TEST      above VALUE    the figure is above the value on the day\n"
            "#           below VALUE    the figure is below the value on the day\n"
            "#           crosses VALUE  the figure passed the value since the previous day\n"
            "#           moves AMOUNT   the figure changed by more than the amount since the\n"
            "#                          previous day; AMOUNT% for a percentage of its value then\n"
            "#\n"
            "# Examples:\n"
            "#   EUR front call_level crosses 1.3000\n"
            "#   GBP front put_oi moves 10%\n"
            "#   CHF front max_pain below 1.0500\n"
            "#   EUR front iv_rank above 90\n"
            "#\n"
            "# A broken line is reported with its number and skipped; lines starting with # are\n"
            "# comments.\n";
        return text;
    }();
    return header;
}

}  // namespace zarvex::analytics
