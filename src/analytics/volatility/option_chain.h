#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/day/stored_rows.h"
#include "common/result.h"
#include "storage/database.h"

namespace zarvex::analytics {

// What the report says about one side (CALL or PUT) of a strike.
struct ChainSide {
    bool present = false;
    double premium = 0.0;  // in the strike's unit (common::PremiumScale)
    double price = 0.0;    // column `price` as stored
    double report_delta = 0.0;
    std::int64_t oi = 0;
};

struct ChainStrike {
    double strike = 0.0;
    ChainSide call;
    ChainSide put;
};

// The CALL and PUT rows of one day and contract, one entry per strike above zero, ascending.
// Where a strike appears twice for one side, the first row in the file's order counts.
struct OptionChain {
    std::string expiration;  // "%dd.%mm.%yyyy" as the rows carry it
    std::vector<ChainStrike> strikes;
};

// Reads the chain of a day ("%dd.%mm.%yyyy") and contract from the symbol's quote database.
// Fails with the database's reason when the quote table cannot be read; a day without rows is
// an empty chain.
common::Result<OptionChain> ReadOptionChain(const storage::Database& db, std::string_view symbol,
                                            const std::string& date, const std::string& contract);

// One CALL or PUT row as ReadOptionChain reads it, for chains built from rows read elsewhere.
struct ChainRow {
    common::Side side = common::Side::kCall;
    double strike = 0.0;
    double price = 0.0;
    double delta = 0.0;
    std::int64_t oi = 0;
    std::string expiration;
};
// The chain ReadOptionChain gives for the rows of one day and contract, in row order.
OptionChain ChainOfRows(const std::vector<ChainRow>& rows, std::string_view symbol);

// The same chain from a contract's rows already in memory (the rows of one day).
OptionChain ChainOfDay(const ContractRows& rows, const std::vector<std::size_t>& day,
                       std::string_view symbol);

}  // namespace zarvex::analytics
