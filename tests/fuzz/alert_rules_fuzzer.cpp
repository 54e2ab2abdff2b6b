// The alert rules' reader, which takes whatever text the user's rule file holds.
// - Every line that is neither empty nor a comment is a rule or an error, never both or none,
//   and both lists keep the file's line order.
// - A rule's fields are what its line says: a known symbol, a test word, a finite value, a
//   percentage only for "moves", and "moves" only above 0; its text is its line trimmed.
// - An error names its own line first.

#include <cmath>
#include <cstdint>
#include <string>

#include "analytics/board/alert_rules.h"
#include "common/symbols.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace analytics = zarvex::analytics;
    const std::string_view text = zarvex::fuzz::AsText(data, size);
    const analytics::AlertRules rules = analytics::ParseAlertRules(text);

    // The lines that count, by number, as the reader splits them.
    std::vector<std::pair<int, std::string_view>> counted;
    int number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? end : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line[start] != '#') {
            counted.emplace_back(number, line);
        }
    }
    FUZZ_CHECK(rules.rules.size() + rules.errors.size() == counted.size());

    std::size_t r = 0;
    std::size_t e = 0;
    for (const auto& [line_number, line] : counted) {
        if (r < rules.rules.size() && rules.rules[r].line == line_number) {
            const analytics::AlertRule& rule = rules.rules[r++];
            FUZZ_CHECK(zarvex::common::InstrumentIndex(rule.symbol) >= 0);
            FUZZ_CHECK(std::isfinite(rule.value));
            FUZZ_CHECK(!rule.percent || rule.test == analytics::AlertTest::kMoves);
            FUZZ_CHECK(rule.test != analytics::AlertTest::kMoves || rule.value > 0.0);
            FUZZ_CHECK(!analytics::AlertTestWord(rule.test).empty());
            FUZZ_CHECK(!rule.text.empty() && line.find(rule.text) != std::string_view::npos);
            FUZZ_CHECK(rule.text.front() != ' ' && rule.text.back() != ' ');
        } else {
            FUZZ_CHECK(e < rules.errors.size() && rules.errors[e].line == line_number);
            const std::string prefix = "line " + std::to_string(line_number) + ": ";
            FUZZ_CHECK(rules.errors[e].message.rfind(prefix, 0) == 0);
            ++e;
        }
    }
    return 0;
}
