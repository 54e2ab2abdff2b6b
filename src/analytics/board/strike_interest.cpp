#include "analytics/board/strike_interest.h"

namespace zarvex::analytics {

namespace {

// Far beyond any exchange's open interest or volume, and small enough that the sums and
// differences of a day's strikes never overflow.
constexpr std::int64_t kLargestCount = 1'000'000'000'000'000;

bool Plausible(std::int64_t count) {
    return count > -kLargestCount && count < kLargestCount;
}

}  // namespace

DayOptions OptionsOfDay(const std::vector<StoredOption>& rows,
                        const std::vector<std::size_t>& positions) {
    DayOptions out;
    for (const std::size_t i : positions) {
        const StoredOption& row = rows[i];
        if (!row.side || !row.strike.IsNumber() || !row.strike.finite || !row.oi.IsNumber() ||
            !Plausible(row.oi.as_int) || !Plausible(row.volume.as_int)) {
            continue;
        }
        const double strike = row.strike.as_double;
        (*row.side == common::Side::kCall ? out.call : out.put)[common::StrikeKey::Of(strike)] = {
            strike, row.oi.as_int, row.volume.as_int};
    }
    return out;
}

}  // namespace zarvex::analytics
