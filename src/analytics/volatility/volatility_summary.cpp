#include "analytics/volatility/volatility_summary.h"

namespace zarvex::analytics {

std::optional<ContractVolatility> LoadContractVolatility(const storage::Database& db,
                                                         std::string_view symbol,
                                                         const std::string& date,
                                                         const std::string& contract) {
    OptionChain chain;
    if (!ReadOptionChain(db, symbol, date, contract, chain)) {
        return std::nullopt;
    }
    return VolatilityOfChain(chain, common::ParseDate(date, "%dd.%mm.%yyyy"));
}

VolatilitySummary SummaryOf(const ContractVolatility& figures) {
    VolatilitySummary summary;
    summary.status = figures.status;
    summary.forward = figures.forward;
    summary.discount = figures.discount;
    summary.years = figures.years;
    summary.atm_vol = figures.atm_vol;
    summary.expected_move = figures.expected_move;
    summary.bands = figures.bands;
    return summary;
}

VolatilitySummary SummariseVolatility(const storage::Database& db, std::string_view symbol,
                                      const std::string& date, const std::string& contract) {
    const auto figures = LoadContractVolatility(db, symbol, date, contract);
    return figures ? SummaryOf(*figures) : VolatilitySummary();
}

}  // namespace zarvex::analytics
