#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/day/day_context.h"
#include "analytics/day/max_pain.h"
#include "analytics/day/stored_rows.h"
#include "common/host.h"
#include "common/price_type.h"
#include "common/side.h"
#include "settings/settings.h"

namespace zarvex::analytics {

// The figures of one day and contract that need no user condition: the basic indicators, the
// borders, limits and delta-balance, the ratios, the sums and max pain's interests. They are
// computed from the contract's rows in memory, filtering and reading the stored values as the
// database's own comparisons and column readers would (texts in numeric columns, NULLs, blank
// lines of older extractions), so that the left panel and a contract's whole history give the
// same texts from one calculation.
class DayFigures final {
public:
    // `day`: the positions of the day's rows among `rows`, in row order.
    DayFigures(const ContractLevels& contract, const std::vector<StoredOption>& rows,
               const std::vector<std::size_t>& day)
        : contract_(contract), rows_(rows), day_(day) {}

    std::int64_t Count(common::Side side) const;
    // Column `price` of the first row of that side whose strike equals the strike that
    // `strike` reads as when written with up to ten decimals; 0.0 without one.
    double Premium(common::Side side, double strike) const;
    // Expiration, CALL level and PUT level into the context, in the settings' price type.
    void BasicIndicators(const settings::Settings& settings, DayContext& context) const;

    // Delta-balance, borders, channel, width and limits into the context, in the settings'
    // price type. The panel passes its host to dispatch waiting events after each step, as it
    // does between its other steps.
    void MarketBorders(const settings::Settings& settings, DayContext& context,
                       const common::Host* host = nullptr) const;
    // The three ratios into the context, events dispatched between them; false where the
    // panel's SUM would fail (an integer overflow).
    bool PutCallRatios(DayContext& context, const common::Host* host = nullptr) const;

    // SUM(oi) or SUM(volume) of one side's rows as the database reads it; nullopt on an
    // integer overflow.
    std::optional<std::int64_t> Sum(common::Side side, bool oi) const;
    // The strikes and open interests of one side's rows whose both values are numbers.
    std::vector<OptionInterest> Interest(common::Side side) const;
    // Max pain of the day's rows, its price shown as the delta-balance is (MaxPainOf).
    MaxPain DayMaxPain(std::string_view symbol, double forward_point,
                       common::PriceType price_type) const;

private:
    PanelNumber Level(common::Side side, const DayContext& context,
                      common::PriceType price_type) const;
    template <typename Keep>
    std::optional<std::int64_t> FilteredSum(common::Side side, bool oi, Keep keep) const;
    double BalanceStrike(common::Side side) const;
    struct Found {
        PanelNumber price;
        std::int64_t strike = 0;
    };
    Found PriceAt(common::Side side, double strike, const DayContext& context,
                  common::PriceType price_type) const;
    Found Border(common::Side side, const DayContext& context, common::PriceType price_type) const;
    Found Limit(common::Side side, const DayContext& context, common::PriceType price_type) const;
    double AveragePrice(common::Side side) const;

    const ContractLevels& contract_;
    const std::vector<StoredOption>& rows_;
    const std::vector<std::size_t>& day_;
};

// Channel center and width of market from the two borders as shown (the bottom border's
// decimals decide both). Without both borders they are emptied, so that they never show the
// numbers of another day or contract.
void ChannelFromBorders(DayContext& context);

// Whether a border text stands for no border: empty after trimming, or one of the zero
// spellings of that side.
bool UpperBorderIsZero(const std::string& text);
bool BottomBorderIsZero(const std::string& text);
// The same for a border as kept: no number, or one whose text is such a spelling.
bool UpperBorderIsZero(const PanelNumber& border);
bool BottomBorderIsZero(const PanelNumber& border);

}  // namespace zarvex::analytics
