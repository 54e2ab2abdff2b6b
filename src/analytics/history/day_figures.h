#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/history/max_pain.h"
#include "analytics/history/stored_rows.h"
#include "analytics/left_panel/day_context.h"

namespace zarvex::analytics {

// The rows of one day and contract, in row order, as the left panel's queries of that day see
// them. Each calculation below gives what the panel's own calculation of the same name writes,
// filtering and reading the stored values as its SQL does; so a whole history is computed
// without a query per day.
class DayFigures final {
public:
    DayFigures(const std::vector<StoredOption>& rows, const std::vector<std::size_t>& day)
        : rows_(rows), day_(day) {}

    std::int64_t Count(bool call) const;
    // Column `price` of the first row of that side whose strike equals the strike that
    // `strike` reads as when written with up to ten decimals; 0.0 without one.
    double Premium(bool call, double strike) const;
    // The CALL or PUT level for its strike (a blank for none).
    PanelNumber Level(bool call, double strike, const DayContext& context) const;

    // Delta-balance, borders, channel, width and limits into the context.
    void MarketBorders(DayContext& context) const;
    // The three ratios into the context; false where the panel's SUM would fail (an integer
    // overflow).
    bool PutCallRatios(DayContext& context) const;

    // SUM(oi) or SUM(volume) of one side's rows as the database reads it; nullopt on an
    // integer overflow.
    std::optional<std::int64_t> Sum(bool call, bool oi) const;
    // The strikes and open interests of one side's rows whose both values are numbers.
    std::vector<OptionInterest> Interest(bool call) const;

private:
    template <typename Keep>
    std::optional<std::int64_t> FilteredSum(bool call, bool oi, Keep keep) const;
    double BalanceStrike(bool call) const;
    struct Found {
        PanelNumber price;
        std::int64_t strike = 0;
    };
    Found PriceAt(bool call, double strike, const DayContext& context) const;
    Found Border(bool call, const DayContext& context) const;
    Found Limit(bool call, const DayContext& context) const;
    double AveragePrice(bool call) const;

    const std::vector<StoredOption>& rows_;
    const std::vector<std::size_t>& day_;
};

}  // namespace zarvex::analytics
