#include "analytics/volatility/handed_day.h"

#include <algorithm>

namespace zarvex::analytics {

std::optional<DaySummary> SummaryOfHanded(const HandedDay& handed) {
    const common::Date day = common::ParseDate(handed.date, "%dd.%mm.%yyyy");
    if (day == common::kInvalidDate || handed.contracts.empty()) {
        return std::nullopt;
    }
    std::vector<const TermContract*> term;
    term.reserve(handed.contracts.size());
    for (const std::string& name : handed.contracts) {
        const auto solved =
            std::find_if(handed.solved.begin(), handed.solved.end(),
                         [&](const TermContract& contract) { return contract.contract == name; });
        const auto expiration = handed.expirations.find(name);
        if (solved == handed.solved.end() || expiration == handed.expirations.end() ||
            solved->expiration != expiration->second) {
            return std::nullopt;
        }
        term.push_back(&*solved);
    }
    // As TermOfRows orders them: nearest expiry first, a day's first rows first among equals.
    std::stable_sort(term.begin(), term.end(), [](const TermContract* a, const TermContract* b) {
        return a->figures.days < b->figures.days;
    });
    DaySummary summary{day, {}};
    summary.contracts.reserve(term.size());
    for (const TermContract* contract : term) {
        summary.contracts.push_back(SummaryOfContract(*contract));
    }
    return summary;
}

}  // namespace zarvex::analytics
