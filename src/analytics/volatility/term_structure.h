#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/option_chain.h"
#include "storage/database.h"

namespace zarvex::analytics {

// One contract of a day's term structure.
struct TermContract {
    std::string contract;
    std::string expiration;
    ContractVolatility figures;
    // CALL and PUT together, over the chain's strikes (the first row of a side and strike).
    std::int64_t total_oi = 0;
};

// CALL and PUT open interest together over the chain's strikes, as TermContract keeps it.
std::int64_t ChainOpenInterest(const OptionChain& chain);

// The contracts with CALL or PUT rows on the day ("%dd.%mm.%yyyy"), in the order of their first
// row; nullopt when the rows cannot be read.
std::optional<std::vector<std::string>> ContractsOfDay(const storage::Database& db,
                                                       const std::string& date);

// Every contract with CALL or PUT rows on the day ("%dd.%mm.%yyyy"), nearest expiry first and
// contracts of one expiry in the order of their first row: what `vol --term` lists. nullopt
// when the rows cannot be read.
std::optional<std::vector<TermContract>> TermOfDay(const storage::Database& db,
                                                   std::string_view symbol,
                                                   const std::string& date);

// The same from the day's CALL and PUT rows already read, in row order, each with its contract:
// for reading many days in one pass.
std::vector<TermContract> TermOfRows(const std::vector<std::pair<std::string, ChainRow>>& rows,
                                     std::string_view symbol, const std::string& date);

}  // namespace zarvex::analytics
