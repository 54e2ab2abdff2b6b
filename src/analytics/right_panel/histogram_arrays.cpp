#include "analytics/right_panel/histogram_arrays.h"

#include <cmath>
#include <optional>
#include <string>

#include "analytics/prices.h"
#include "analytics/right_panel/decimal_grid.h"
#include "analytics/right_panel/histogram_kinds.h"
#include "analytics/right_panel/numeric_aggregate.h"
#include "analytics/right_panel/rebinning.h"
#include "common/currency_conventions.h"
#include "storage/condition_bound.h"
#include "storage/grouped_condition.h"
#include "storage/quote_columns.h"

namespace zarvex::analytics {

namespace {

namespace quote_column = storage::quote_column;

// The "Standart" price type keeps the grid inside the bounds. The bounds' parameters are
// numbered before the date's so that a "?" inside a user's bar condition can never take one of
// ours (a bare "?" numbers itself after the highest number seen so far).
constexpr std::string_view kWithinBounds = " AND strike <=?1 AND strike >=?2";

double GridEnd(const storage::Database& db, std::string_view aggregate_sql,
               const RightPanelDay& day, const HistogramBounds& bounds, bool within_bounds) {
    if (within_bounds) {
        const std::string sql = std::string(aggregate_sql) + std::string(kWithinBounds);
        return NumericAggregate(db, sql, "strike",
                                {bounds.upper, bounds.lower, std::string_view(day.date),
                                 std::string_view(day.contract)});
    }
    return NumericAggregate(db, aggregate_sql, "strike",
                            {std::string_view(day.date), std::string_view(day.contract)});
}

}  // namespace

StrikeGrid ComputeStrikeGrid(const storage::Database& db, const RightPanelDay& day,
                             const HistogramBounds& bounds, common::PriceType price_type) {
    const bool standart = price_type == common::PriceType::kStandart;
    const std::string_view hi_sql =
        standart ? "SELECT MAX(strike) FROM dating WHERE date = ?3 AND contract = ?4 AND "
                   "option = 'CALL'"
                 : "SELECT MAX(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND "
                   "option = 'CALL'";
    const std::string_view lo_sql =
        standart ? "SELECT MIN(strike) FROM dating WHERE date = ?3 AND contract = ?4 AND "
                   "option = 'PUT'"
                 : "SELECT MIN(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND "
                   "option = 'PUT'";
    const double step = common::StrikeGridStep(day.symbol);
    double hi = GridEnd(db, hi_sql, day, bounds, standart);
    double lo = GridEnd(db, lo_sql, day, bounds, standart);
    if (!std::isfinite(hi) || !std::isfinite(lo) || (hi == 0.0 && lo == 0.0)) {
        return {};
    }
    if (lo == 0.0) {
        lo = hi - step;
    } else if (hi == 0.0) {
        hi = lo + step;
    }
    if (standart) {
        hi += step;
        lo -= step;
    }
    // The number of steps is truncated: a quotient that the arithmetic yields just below a
    // whole number loses its last position, as it always has.
    const double steps = std::trunc((hi - lo) / step);
    if (!(steps >= 1.0)) {
        return {};
    }
    const double last = std::min(steps, static_cast<double>(kHistogramCapacity - 1));
    return {lo, step, static_cast<std::size_t>(last) + 1};
}

namespace {

// Reads the rows of one side into its values and premiums. False when the query failed.
bool FillSide(const storage::Database& db, const RightPanelDay& day,
              const settings::HistogramSettings& histogram, const HistogramBounds& bounds,
              common::Side side, const StrikeGrid& grid, std::vector<double>& values,
              std::vector<double>& premiums, std::vector<double>& strikes, std::string& error,
              const common::Host& host) {
    const bool standart =
        common::PriceTypeFromCode(histogram.market_type) == common::PriceType::kStandart;
    if (const std::optional<std::string> why = storage::GroupRefusal(histogram.bar_cond)) {
        error = storage::NamedConditionFailure("Bar_Cond", histogram.bar_cond, *why);
        return false;
    }
    const std::optional<std::string> condition = storage::AndGrouped(histogram.bar_cond);
    std::string sql = standart ? "SELECT * FROM dating WHERE date = ?3 AND contract = ?4"
                               : "SELECT * FROM dating WHERE date = ?1 AND contract = ?2";
    sql += " AND option = '";
    sql += common::SideText(side);
    sql += "'";
    sql += *condition;
    if (standart) {
        sql += kWithinBounds;
    }
    const storage::ConditionBound bound(db);
    storage::Statement query = db.Prepare(sql);
    if (standart) {
        query.BindAll({bounds.upper, bounds.lower, std::string_view(day.date),
                       std::string_view(day.contract)});
    } else {
        query.BindAll({std::string_view(day.date), std::string_view(day.contract)});
    }
    const bool full_rows = query.ColumnCount() >= quote_column::kCount;
    while (full_rows && query.Step()) {
        const auto position = FindOnDecimalGrid(query.ColumnDouble(quote_column::kStrike),
                                                grid.origin, grid.step, grid.count);
        if (position) {
            const double price = query.ColumnDouble(quote_column::kPrice);
            premiums[*position] = std::isfinite(price) ? price : 0.0;
            strikes[*position] = GridPosition(grid.origin, grid.step, *position);
            values[*position] = BarValue(histogram.param, price, query.ColumnInt(quote_column::kOi),
                                         query.ColumnInt(quote_column::kDoi),
                                         query.ColumnInt(quote_column::kVolume),
                                         query.ColumnTextView(quote_column::kSign));
        }
        host.PumpEvents();
    }
    if (query.Failed()) {
        error = storage::NamedConditionFailure("Bar_Cond", histogram.bar_cond, bound.Why(query));
        return false;
    }
    if (!full_rows) {
        error = "the quote table lacks columns";
        return false;
    }
    return true;
}

double RoundToCents(double value) {
    return std::round(value * 100.0) / 100.0;
}

}  // namespace

double BarValue(int param, double price, std::int64_t oi, std::int64_t doi, std::int64_t volume,
                std::string_view sign) {
    double value = 0.0;
    switch (param) {
        case kParamOpenInterest:
            value = static_cast<double>(oi);
            break;
        case kParamOiChange:
            // Negated as a double: the lowest 64-bit integer has no negation among them.
            value = sign == "-1" ? -static_cast<double>(doi) : static_cast<double>(doi);
            break;
        case kParamVolume:
            value = static_cast<double>(volume);
            break;
        case kParamPriceTimesOi:
            value = RoundToCents(static_cast<double>(oi) * price);
            break;
        case kParamPriceTimesVolume:
            value = RoundToCents(static_cast<double>(volume) * price);
            break;
        default:
            break;
    }
    return std::isfinite(value) ? value : 0.0;
}

void FillStrikeValues(const storage::Database& db, const RightPanelDay& day,
                      const settings::HistogramSettings& histogram, const HistogramBounds& bounds,
                      const StrikeGrid& grid, HistogramData& data, const common::Host& host) {
    data.ResetArrays(grid.count);
    for (std::size_t i = 0; i < grid.count; ++i) {
        data.axis[i] = GridPosition(grid.origin, grid.step, i);
    }
    std::string put_error;
    std::string call_error;
    const bool put_ok = FillSide(db, day, histogram, bounds, common::Side::kPut, grid, data.put,
                                 data.put_premium, data.put_strike, put_error, host);
    const bool call_ok = FillSide(db, day, histogram, bounds, common::Side::kCall, grid, data.call,
                                  data.call_premium, data.call_strike, call_error, host);
    auto sources = [](const std::vector<double>& strikes, const std::vector<double>& values,
                      const std::vector<double>& premiums, std::vector<BarSource>& out) {
        for (std::size_t i = 0; i < strikes.size(); ++i) {
            if (strikes[i] != 0.0) {
                out.push_back({strikes[i], premiums[i], values[i], i, i});
            }
        }
    };
    sources(data.put_strike, data.put, data.put_premium, data.put_sources);
    sources(data.call_strike, data.call, data.call_premium, data.call_sources);
    if (!put_ok || !call_ok) {
        data.rows_failed = true;
        data.rows_error = put_ok ? call_error : put_error;
    }
}

HistogramData BuildStrikeArrays(const storage::Database& db, const RightPanelDay& day,
                                const settings::HistogramSettings& histogram,
                                const HistogramBounds& bounds, const common::Host& host) {
    HistogramData data;
    data.lower_bound = bounds.lower;
    data.upper_bound = bounds.upper;
    const StrikeGrid grid =
        ComputeStrikeGrid(db, day, bounds, common::PriceTypeFromCode(histogram.market_type));
    if (grid.count == 0) {
        return data;
    }
    FillStrikeValues(db, day, histogram, bounds, grid, data, host);
    return data;
}

HistogramData BuildHistogramArrays(const storage::Database& db, const RightPanelDay& day,
                                   const settings::HistogramSettings& histogram,
                                   const HistogramBounds& bounds, const common::Host& host) {
    HistogramData data = BuildStrikeArrays(db, day, histogram, bounds, host);
    RebinOnPriceAxis(data, day, histogram);
    return data;
}

}  // namespace zarvex::analytics
