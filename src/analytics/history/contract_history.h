#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/day_result.h"
#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "common/result.h"
#include "storage/database.h"

namespace zarvex::analytics {

// One day of a contract's history: every figure the left panel shows for that day and
// contract with the same settings, without the lists of significant levels and fractals, plus
// max pain, the day's open interest and volume and what its premiums imply.
using HistoryDay = DayResult;

// What a history is made for: the symbol and contract, with the settings the left panel
// calculates with (its price type and forward-point switch change the texts; they must outlive
// the load).
struct HistoryRequest {
    AnalysisInput input;
    // Inclusive range of days; kInvalidDate leaves that side open.
    common::Date from = common::kInvalidDate;
    common::Date to = common::kInvalidDate;
};

struct ContractHistory {
    std::string symbol;
    std::string contract;
    std::vector<HistoryDay> days;  // oldest first
};

// The history of a contract from the quote database: one row per stored day with CALL or PUT
// rows of the contract, within the request's range, oldest first. Each row equals what the
// left panel computes for that day and contract with the request's settings; the forward
// points come from the folder's files as the panel resolves them. The contract's rows are read
// from the file once and every day is computed from that copy in memory, so the whole life of
// a contract costs about as much as a few clicks on the panel. db is only read. The reason
// when a read fails (no quote table, a damaged file) or a day's sums overflow.
common::Result<ContractHistory> LoadContractHistory(const storage::Database& db,
                                                    const common::ProgramFolder& folder,
                                                    const HistoryRequest& request,
                                                    const common::Host& host);

}  // namespace zarvex::analytics
