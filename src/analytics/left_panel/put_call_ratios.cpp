#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/quote_queries.h"

namespace zarvex::analytics {

namespace {

// The filters are kept exactly as the program has always sent them, doubled blanks and the
// mixed "And" included.
constexpr std::string_view kOiPut =
    "SELECT SUM(oi) FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND "
    "price<>0  And delta>0.003 And delta<0.997";
constexpr std::string_view kOiCall =
    "SELECT SUM(oi) FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND "
    "price<>0  AND delta>0.003 AND delta<0.997";
constexpr std::string_view kVolumePut =
    "SELECT SUM(volume) FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND "
    "price<>0  AND delta>0.003 AND delta<0.997";
constexpr std::string_view kVolumeCall =
    "SELECT SUM(volume) FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND "
    "price<>0  AND delta>0.003 AND delta<0.997";
constexpr std::string_view kAveragePut =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND price<>0 AND "
    "doi>0 AND volume>0 AND delta>0.003 AND delta<0.997";
constexpr std::string_view kAverageCall =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND price<>0 AND "
    "doi>0 AND volume>0 AND delta>0.003 AND delta<0.997";

// A ratio as the panel shows it: four decimals when positive, otherwise nothing.
PanelNumber RatioNumber(double ratio) {
    return ratio > 0.0 && std::isfinite(ratio) ? PanelNumber::Fixed(ratio, 4) : PanelNumber();
}

// PUT sum over CALL sum; 0.0 without at least one CALL contract.
std::optional<PanelNumber> SumRatio(const storage::Database& db, const DayContext& context,
                                    std::string_view put_sql, std::string_view call_sql) {
    const std::optional<std::int64_t> put =
        quotes::ScalarInt(db, put_sql, {context.date, context.contract});
    if (!put) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> call =
        quotes::ScalarInt(db, call_sql, {context.date, context.contract});
    if (!call) {
        return std::nullopt;
    }
    const double ratio = *call >= 1 ? static_cast<double>(*put) / static_cast<double>(*call) : 0.0;
    return RatioNumber(ratio);
}

// The mean premium weighted as the program always did: sum of price x volume over the number
// of rows. 0.0 without rows; nullopt when the query failed.
std::optional<double> AveragePrice(const storage::Database& db, const DayContext& context,
                                   std::string_view sql) {
    storage::Statement rows = quotes::Query(db, sql, {context.date, context.contract});
    double sum = 0.0;
    std::int64_t count = 0;
    while (rows.Step()) {
        sum += quotes::ReadDouble(rows, quotes::kPrice) *
               static_cast<double>(quotes::ReadInt(rows, quotes::kVolume));
        ++count;
    }
    if (rows.Failed()) {
        return std::nullopt;
    }
    return count >= 1 ? sum / static_cast<double>(count) : 0.0;
}

}  // namespace

bool CalculatePutCallRatios(const storage::Database& db, DayContext& context,
                            const common::Host& host) {
    std::optional<PanelNumber> text = SumRatio(db, context, kOiPut, kOiCall);
    if (!text) {
        return false;
    }
    context.ratio_oi = *text;
    host.PumpEvents();

    text = SumRatio(db, context, kVolumePut, kVolumeCall);
    if (!text) {
        return false;
    }
    context.ratio_volume = *text;
    host.PumpEvents();

    const std::optional<double> put = AveragePrice(db, context, kAveragePut);
    if (!put) {
        return false;
    }
    const std::optional<double> call = AveragePrice(db, context, kAverageCall);
    if (!call) {
        return false;
    }
    context.ratio_avg_price = RatioNumber(*call > 0.0 ? *put / *call : 0.0);
    return true;
}

}  // namespace zarvex::analytics
