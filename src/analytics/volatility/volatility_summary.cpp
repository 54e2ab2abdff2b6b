#include "analytics/volatility/volatility_summary.h"

namespace zarvex::analytics {

common::Result<ContractVolatility> LoadContractVolatility(const storage::Database& db,
                                                          std::string_view symbol,
                                                          const std::string& date,
                                                          const std::string& contract) {
    const common::Result<OptionChain> chain = ReadOptionChain(db, symbol, date, contract);
    if (!chain) {
        return common::Result<ContractVolatility>::Failed(chain.Reason());
    }
    return common::Result<ContractVolatility>::Of(
        VolatilityOfChain(*chain, common::ParseDate(date, "%dd.%mm.%yyyy")));
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

common::Result<VolatilitySummary> SummariseVolatility(const storage::Database& db,
                                                      std::string_view symbol,
                                                      const std::string& date,
                                                      const std::string& contract) {
    const auto figures = LoadContractVolatility(db, symbol, date, contract);
    if (!figures) {
        return common::Result<VolatilitySummary>::Failed(figures.Reason());
    }
    return common::Result<VolatilitySummary>::Of(SummaryOf(*figures));
}

}  // namespace zarvex::analytics
