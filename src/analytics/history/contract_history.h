#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/day_context.h"
#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "storage/database.h"

namespace zarvex::analytics {

// One day of a contract's history: every figure the left panel shows for that day and
// contract with the same settings (numbers with the decimals of its cells), without the lists
// of significant levels and fractals, plus max pain and the day's open interest and volume.
struct HistoryDay : DayFigureValues {
    common::Date day = common::kInvalidDate;
    double forward_point = 0.0;

    PanelNumber max_pain;
    double max_pain_strike = 0.0;

    // SUM(oi) and SUM(volume) of the day's CALL and of its PUT rows of the contract.
    std::int64_t call_oi = 0;
    std::int64_t put_oi = 0;
    std::int64_t call_volume = 0;
    std::int64_t put_volume = 0;

    // What the day's premiums imply (analytics/volatility); empty where there is nothing.
    std::optional<double> atm_vol;
    std::optional<double> rr25;
    std::optional<double> bf25;
    std::optional<double> expected_move;

    // The CALL and PUT levels from the rows stored up to this day only: what the panel showed
    // on that evening. call_level and put_level pour every stored day of the contract, later
    // ones included, as the panel does today.
    PanelNumber call_level_as_of;
    PanelNumber put_level_as_of;
};

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
    // A read failed (no quote table, a damaged file): days holds what was made before.
    bool failed = false;
    std::string error;
};

// The history of a contract from the quote database: one row per stored day with CALL or PUT
// rows of the contract, within the request's range, oldest first. Each row equals what the
// left panel computes for that day and contract with the request's settings; the forward
// points come from the folder's files as the panel resolves them. The contract's rows are read
// from the file once and every day is computed from that copy in memory, so the whole life of
// a contract costs about as much as a few clicks on the panel. db is only read.
ContractHistory LoadContractHistory(const storage::Database& db,
                                    const common::ProgramFolder& folder,
                                    const HistoryRequest& request, const common::Host& host);

}  // namespace zarvex::analytics
