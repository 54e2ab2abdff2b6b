#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/scorecard/wilson_interval.h"
#include "analytics/volatility/term_summary.h"
#include "common/date.h"
#include "common/result.h"
#include "storage/database.h"

namespace zarvex::analytics {

// How the day's lines held in the days that followed, over a symbol's stored days: the market
// borders and limits as a channel, the CALL level as a ceiling, the PUT level as a floor; max
// pain against the forward as a guess of the last settlement; and the chances the smile gave
// of finishing beyond each line against how often it happened. Every line is taken as of its
// evening (from the rows stored up to that day only) and in strike units, and the futures
// price is each day's put-call parity forward, so that nothing looks ahead.
enum class ScoredLine : std::uint8_t { kBorders, kLimits, kCallLevel, kPutLevel };
enum class ScoreHorizon : std::uint8_t { kOneDay, kFiveDays, kExpiry };

inline constexpr std::array<ScoredLine, 4> kScoredLines{
    ScoredLine::kBorders, ScoredLine::kLimits, ScoredLine::kCallLevel, ScoredLine::kPutLevel};
inline constexpr std::array<ScoreHorizon, 3> kScoreHorizons{
    ScoreHorizon::kOneDay, ScoreHorizon::kFiveDays, ScoreHorizon::kExpiry};

// "borders", "limits", "call_level", "put_level"; "1", "5", "expiry".
std::string_view ScoredLineKey(ScoredLine line);
std::string_view ScoreHorizonKey(ScoreHorizon horizon);

struct LineScore {
    ScoredLine line = ScoredLine::kBorders;
    ScoreHorizon horizon = ScoreHorizon::kOneDay;
    std::int64_t cases = 0;
    std::int64_t held = 0;
    std::optional<ShareInterval> rate;  // none over no case
    // The mean distance of the line from the day's forward in expected moves over the horizon;
    // none when no case had an ATM volatility.
    std::optional<double> distance_in_moves;

    bool operator==(const LineScore&) const = default;
};

// Max pain against the forward at expiry, for cases whose last day before expiry lay
// first_day..last_day stored days of the contract ahead.
struct MaxPainScore {
    int first_day = 0;
    int last_day = 0;
    std::int64_t cases = 0;
    std::optional<double> max_pain_error;  // mean |F_last - max pain|, strike units
    std::optional<double> forward_error;   // mean |F_last - F|
    std::optional<ShareInterval> max_pain_closer;

    bool operator==(const MaxPainScore&) const = default;
};

struct CalibrationBin {
    int bin = 0;  // predicted chance in [bin / 10, (bin + 1) / 10), the last bin closed
    std::int64_t cases = 0;
    std::optional<double> predicted;  // mean predicted chance
    std::optional<double> observed;   // share that finished beyond

    bool operator==(const CalibrationBin&) const = default;
};

struct Scorecard {
    std::string symbol;
    // The days the cases were drawn from: the bounds asked for, else the first and the last
    // stored day (none without a stored day).
    common::Date from = common::kInvalidDate;
    common::Date to = common::kInvalidDate;
    bool all_contracts = false;
    std::vector<LineScore> lines;             // kScoredLines x kScoreHorizons, in that order
    std::vector<MaxPainScore> max_pain;       // 1-5, 6-10, 11-20, 21-60 days before
    std::vector<CalibrationBin> calibration;  // 10 bins
    std::optional<double> brier;

    // Exactly, to the last bit of every number.
    bool operator==(const Scorecard&) const = default;
};

struct ScorecardRequest {
    AnalysisInput input;  // the symbol and the instrument's settings
    // Inclusive range of the cases' days; kInvalidDate leaves that side open. The days after
    // a case may lie beyond `to`.
    common::Date from = common::kInvalidDate;
    common::Date to = common::kInvalidDate;
    // Every contract with open interest on a day, instead of the front contract alone.
    bool all_contracts = false;
};

// The scorecard from the symbol's quote database, read once. `summaries` are the symbol's days
// from its volatility store (LoadVolatilityDays): a day and contract's forward and ATM
// volatility (and, where the days were read with their smiles, the smile) are taken from there
// where the store summarised them with the contract's own expiration, and fitted and solved
// from the rows otherwise (all of them when `summaries` is empty).
// Fails, naming what, when the rows cannot be read. The rows are read in one pass, fastest on a
// connection opened for it (OpenReadOnlyForScan); no other thread may use `db` meanwhile.
common::Result<Scorecard> ComputeScorecard(const storage::Database& db,
                                           const ScorecardRequest& request,
                                           const std::vector<DaySummary>& summaries);

}  // namespace zarvex::analytics
