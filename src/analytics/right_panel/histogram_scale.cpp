#include "analytics/right_panel/histogram_scale.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "analytics/prices.h"
#include "analytics/right_panel/histogram_kinds.h"
#include "analytics/right_panel/numeric_aggregate.h"
#include "common/currency_conventions.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// One side of the scale: the queries that find its strike, and the option it prices.
struct ScaleSide {
    common::Side option;
    // Scale 2: the largest open interest among live options, then a strike that carries it.
    std::string_view max_oi_sql;
    std::string_view strike_of_oi_sql;
    // Scale 1 and 0: the outermost strike of the side.
    std::string_view limit_sql;
    std::string_view all_levels_sql;
    std::string_view premium_sql;
};

constexpr ScaleSide kCallSide{
    common::Side::kCall,
    "SELECT MAX(oi) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'CALL' AND "
    "price > 0 AND  delta > 0 AND delta < 1",
    "SELECT strike FROM dating WHERE date = ?1 AND contract = ?2 AND oi = ?3 AND "
    "option = 'CALL' ",
    "SELECT MAX(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'CALL' AND "
    "oi > 0 AND  delta > 0 AND price > 0",
    "SELECT MAX(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'CALL' AND "
    "oi > 0",
    "SELECT * FROM dating WHERE option = 'CALL' AND contract = ?1 AND date = ?2 AND strike = ?3",
};

constexpr ScaleSide kPutSide{
    common::Side::kPut,
    "SELECT MAX(oi) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'PUT' AND "
    "price > 0 AND  delta > 0 AND delta < 1",
    "SELECT strike FROM dating WHERE date = ?1 AND contract = ?2 AND oi = ?3 AND "
    "option = 'PUT'",
    "SELECT MIN(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'PUT' AND "
    "oi > 0 AND  delta > 0  AND delta < 1 AND price > 0 ",
    "SELECT MIN(strike) FROM dating WHERE date = ?1 AND contract = ?2 AND option = 'PUT' AND "
    "oi > 0",
    "SELECT * FROM dating WHERE option = 'PUT' AND contract = ?1 AND date = ?2 AND strike = ?3",
};

constexpr int kPriceColumn = 2;  // of SELECT * on the quote table

// The first column of the first row of a query on the day and contract; 0 when there is no row,
// the value is NULL, or the query fails.
double OutermostStrike(const storage::Database& db, std::string_view sql,
                       const RightPanelDay& day) {
    return NumericAggregate(db, sql, "strike",
                            {std::string_view(day.date), std::string_view(day.contract)});
}

// The integer SQLite reads from a number: truncated, and beyond the 64-bit range the nearest
// end of it (a damaged file can hold 1e300 in an integer column).
std::int64_t IntegerOf(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(value < kTwoTo63)) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (!(value >= -kTwoTo63)) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(value);
}

double StrikeOfLargestOi(const storage::Database& db, const ScaleSide& side,
                         const RightPanelDay& day) {
    const std::int64_t oi = IntegerOf(NumericAggregate(
        db, side.max_oi_sql, "oi", {std::string_view(day.date), std::string_view(day.contract)}));

    storage::Statement strike = db.Prepare(side.strike_of_oi_sql);
    strike.BindAll({std::string_view(day.date), std::string_view(day.contract), oi});
    return strike.Step() ? strike.ColumnDouble(0) : 0.0;
}

double PremiumAt(const storage::Database& db, const ScaleSide& side, const RightPanelDay& day,
                 double strike) {
    storage::Statement query = db.Prepare(side.premium_sql);
    query.BindAll({std::string_view(day.contract), std::string_view(day.date), strike});
    if (!query.Step() || query.ColumnCount() <= kPriceColumn) {
        return 0.0;
    }
    return query.ColumnDouble(kPriceColumn);
}

double Bound(const storage::Database& db, const ScaleSide& side, const RightPanelDay& day,
             int scale, common::PriceType price_type) {
    double strike = 0.0;
    switch (scale) {
        case kScaleInBorders:
            strike = StrikeOfLargestOi(db, side, day);
            break;
        case kScaleInLimits:
            strike = OutermostStrike(db, side.limit_sql, day);
            break;
        case kScaleAllLevels:
            strike = OutermostStrike(db, side.all_levels_sql, day);
            break;
        default:
            return 0.0;
    }
    if (!(strike > 0.0) || !std::isfinite(strike)) {
        return 0.0;
    }
    const double premium = PremiumAt(db, side, day, strike);
    return common::ToDouble(
        PriceByType(strike, day.symbol, side.option, premium, day.forward_point, price_type));
}

}  // namespace

HistogramBounds ComputeHistogramBounds(const storage::Database& db, const RightPanelDay& day,
                                       const settings::HistogramSettings& histogram) {
    const int scale = histogram.market_scale;
    const common::PriceType price_type = common::PriceTypeFromCode(histogram.market_type);
    HistogramBounds bounds;
    bounds.upper = Bound(db, kCallSide, day, scale, price_type);
    bounds.lower = Bound(db, kPutSide, day, scale, price_type);
    if (common::InvertedUnderForex(day.symbol) && price_type == common::PriceType::kForex) {
        std::swap(bounds.lower, bounds.upper);
    }
    return bounds;
}

}  // namespace zarvex::analytics
