#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "analytics/volatility/contract_volatility.h"
#include "common/result.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The volatility figures of one day ("%dd.%mm.%yyyy") and contract read from the symbol's
// quote database; the reason when the rows cannot be read (no quote table, a damaged file).
common::Result<ContractVolatility> LoadContractVolatility(const storage::Database& db,
                                                          std::string_view symbol,
                                                          const std::string& date,
                                                          const std::string& contract);

// The few numbers other views show beside a contract.
struct VolatilitySummary {
    VolatilityStatus status = VolatilityStatus::kNoRows;
    double forward = 0.0;
    double discount = 1.0;
    double years = 0.0;
    std::optional<double> atm_vol;
    std::optional<double> expected_move;
    // -2 sigma, -1 sigma, +1 sigma, +2 sigma; meaningful when expected_move is set.
    std::array<double, 4> bands{};
};

VolatilitySummary SummaryOf(const ContractVolatility& figures);

// One call for a symbol's database, a day and a contract.
common::Result<VolatilitySummary> SummariseVolatility(const storage::Database& db,
                                                      std::string_view symbol,
                                                      const std::string& date,
                                                      const std::string& contract);

}  // namespace zarvex::analytics
