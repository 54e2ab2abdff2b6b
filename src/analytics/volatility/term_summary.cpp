#include "analytics/volatility/term_summary.h"

namespace zarvex::analytics {

ContractSummary SummaryOfContract(const TermContract& term) {
    ContractSummary summary;
    summary.contract = term.contract;
    summary.expiration = term.expiration;
    summary.days = term.figures.days;
    summary.years = term.figures.years;
    if (term.figures.status == VolatilityStatus::kReady) {
        summary.forward = term.figures.forward;
        summary.discount = term.figures.discount;
        summary.smile = term.figures.smile;
    }
    summary.atm_vol = term.figures.atm_vol;
    summary.rr25 = term.figures.rr25;
    summary.bf25 = term.figures.bf25;
    summary.total_oi = term.total_oi;
    return summary;
}

std::vector<ContractSummary> SummaryOfTerm(const std::vector<TermContract>& term) {
    std::vector<ContractSummary> out;
    out.reserve(term.size());
    for (const TermContract& contract : term) {
        out.push_back(SummaryOfContract(contract));
    }
    return out;
}

}  // namespace zarvex::analytics
