// The template and condition checks (rules C, D and F of the settings dialog) with the
// splitters they stand on.
// - Each splitter gives exactly what a find-all with its PCRE2 pattern gives.
// - A file name template that passes has braces in pairs and only known tokens.
// - A data template passes exactly when the rule, reading each brace part at its place as
//   the unload does, lets it pass and the unload can run the condition it takes from it:
//   nothing unchecked reaches the unload, and nothing it could run is refused.
// - A condition that passes has balanced parentheses that never close more than they opened,
//   and a condition built from the grammar passes.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/pcre_pattern.h"
#include "common/text.h"
#include "export/unload_template.h"
#include "fuzz/fuzz_check.h"
#include "settings/template_parts.h"
#include "settings/template_rules.h"
#include "storage/grouped_condition.h"

namespace {

namespace settings = zarvex::settings;
using zarvex::common::PcrePattern;

// The patterns scan to the end of the text from every brace: longer inputs would only slow
// the run down without reaching new code.
constexpr std::size_t kMaxPatternInput = 2048;

const PcrePattern& Pattern(std::string_view source) {
    static const std::array<PcrePattern, 5> patterns{
        PcrePattern(settings::kNonBlankBracePattern, PcrePattern::kDotAll),
        PcrePattern(settings::kBracePattern, PcrePattern::kDotAll),
        PcrePattern(settings::kTemplateLinePattern, PcrePattern::kDotAll),
        PcrePattern(settings::kListItemPattern, PcrePattern::kDotAll),
        PcrePattern(settings::kConditionTokenPattern, PcrePattern::kDotAll)};
    for (const PcrePattern& pattern : patterns) {
        if (pattern.Source() == source) {
            return pattern;
        }
    }
    std::abort();
}

// nullopt when PCRE2 gave up (match limit): then there is nothing to compare with.
std::optional<std::vector<std::string_view>> Matches(std::string_view pattern,
                                                     std::string_view text, bool trimmed = false) {
    auto texts = Pattern(pattern).FindAllTexts(text);
    if (texts && trimmed) {
        for (std::string_view& t : *texts) {
            t = zarvex::common::Trim(t);
        }
    }
    return texts;
}

template <typename Split>
void CheckSplitter(std::string_view pattern, std::string_view text, Split split,
                   bool trimmed = false) {
    const auto expected = Matches(pattern, text, trimmed);
    if (expected) {
        FUZZ_CHECK(split(text) == *expected);
    }
}

bool IsColumnName(std::string_view word) {
    return std::find(settings::kColumnNames.begin(), settings::kColumnNames.end(), word) !=
           settings::kColumnNames.end();
}

std::size_t CountOf(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

bool Nests(std::string_view text) {
    long depth = 0;
    for (const char c : text) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

void CheckFileNameRule(std::string_view text) {
    if (!settings::CheckFileNameTemplate(text).valid) {
        return;
    }
    const std::string_view trimmed = zarvex::common::Trim(text);
    FUZZ_CHECK(!trimmed.empty());
    FUZZ_CHECK(CountOf(trimmed, '{') == CountOf(trimmed, '}'));
    constexpr std::array<std::string_view, 6> kTokens{"SYM", "OPT", "DAY", "MONTH", "YEAR", "CONT"};
    if (const auto tokens = Matches(settings::kNonBlankBracePattern, trimmed)) {
        for (const std::string_view token : *tokens) {
            FUZZ_CHECK(std::find(kTokens.begin(), kTokens.end(), token) != kTokens.end());
        }
    }
}

// The data template rule read through the patterns themselves, each brace part at its place
// among kBracePattern's matches as the unload takes them: every part but the last is
// examined, a blank-led one skipped, the first as the field list, the second as a condition
// of one item; later parts are not examined. nullopt when PCRE2 gave up.
std::optional<bool> DescribedDataRule(std::string_view text) {
    const std::string_view trimmed = zarvex::common::Trim(text);
    if (trimmed.empty()) {
        return false;
    }
    const auto lines = Matches(settings::kTemplateLinePattern, trimmed);
    if (!lines) {
        return std::nullopt;
    }
    for (const std::string_view line : *lines) {
        if (CountOf(line, '{') != CountOf(line, '}') || CountOf(line, '{') < 3) {
            return false;
        }
        const auto parts = Matches(settings::kBracePattern, line);
        if (!parts) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < 2 && i + 1 < parts->size(); ++i) {
            const std::string_view part = (*parts)[i];
            if (part.empty() || settings::IsPcreSpace(part.front())) {
                continue;
            }
            const auto items = Matches(settings::kListItemPattern, part);
            if (!items) {
                return std::nullopt;
            }
            if (i == 0 && !std::all_of(items->begin(), items->end(), IsColumnName)) {
                return false;
            }
            if (i == 1 && (items->size() != 1 || !settings::IsValidCondition(items->front()))) {
                return false;
            }
        }
    }
    return true;
}

// Both directions: a data template passes exactly when the rule lets it pass and the unload
// can run the condition it takes from it (none, or one without a comma that passes the
// condition rule and stays in the group the query puts it in).
void CheckDataRule(std::string_view text) {
    const bool valid = settings::CheckDataTemplate(text).valid;
    const std::string condition = zarvex::exporting::ParseUnloadTemplate(text).condition;
    const bool runnable = condition.empty() || (condition.find(',') == std::string::npos &&
                                                settings::IsValidCondition(condition));
    if (const std::optional<bool> described = DescribedDataRule(text)) {
        FUZZ_CHECK(valid == (*described && runnable));
    }
    if (valid && !condition.empty()) {
        FUZZ_CHECK(Nests(condition));
        FUZZ_CHECK(zarvex::storage::AndGrouped(condition).has_value());
    }
}

void CheckConditionRule(std::string_view text) {
    if (!settings::IsValidCondition(text)) {
        return;
    }
    FUZZ_CHECK(Nests(text));
    const std::string_view trimmed = zarvex::common::Trim(text);
    FUZZ_CHECK(!trimmed.empty());
    for (const settings::ConditionUse use :
         {settings::ConditionUse::kLevel, settings::ConditionUse::kFractal,
          settings::ConditionUse::kBar}) {
        FUZZ_CHECK(settings::CheckCondition(text, use).valid);
    }
}

// A condition the grammar allows, chosen by the input bytes: operands and operators in turn,
// some operands wrapped in parentheses, blanks here and there.
std::string GrammarCondition(std::string_view bytes) {
    constexpr std::array<std::string_view, 12> kOperands{
        "strike", "oi",  "0",     "12.5", "03.12.2012", "'29.02.2012'",
        "EUR",    "PUT", "DEC12", "doi",  "expiration", "1,5"};
    constexpr std::array<std::string_view, 12> kOperators{"+", "-",   "*",  "/",  "=",  ">",
                                                          "<", "AND", "OR", "<>", "<=", ">="};
    std::string out;
    int open = 0;
    std::size_t i = 0;
    const auto next = [&] {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i++]) : 0u;
    };
    const std::size_t operands = 2 + next() % 6;
    for (std::size_t k = 0; k < operands; ++k) {
        if (k > 0) {
            const unsigned op = next();
            out += ' ';
            out += kOperators[op % kOperators.size()];
            out += ' ';
        }
        const unsigned shape = next();
        if (shape & 0x10u) {
            out += '(';
            ++open;
        }
        out += kOperands[shape % kOperands.size()];
        if ((shape & 0x20u) && open > 0) {
            out += ')';
            --open;
        }
    }
    out.append(static_cast<std::size_t>(open), ')');
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = zarvex::fuzz::AsText(data, size);

    const std::string grammar = GrammarCondition(text);
    FUZZ_CHECK(settings::IsValidCondition(grammar));

    if (size > kMaxPatternInput) {
        return 0;
    }
    CheckSplitter(settings::kNonBlankBracePattern, text, settings::NonBlankBraceContents);
    CheckSplitter(settings::kBracePattern, text, settings::BraceContents);
    CheckSplitter(settings::kTemplateLinePattern, text, settings::TemplateLines);
    CheckSplitter(settings::kListItemPattern, text, settings::ListItems);
    CheckSplitter(settings::kConditionTokenPattern, text, settings::ConditionTokens, true);

    CheckFileNameRule(text);
    CheckDataRule(text);
    CheckConditionRule(text);
    return 0;
}
