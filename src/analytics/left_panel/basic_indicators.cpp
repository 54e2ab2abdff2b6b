#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/quote_queries.h"
#include "analytics/prices.h"

namespace zarvex::analytics {

namespace {

struct OptionQueries {
    std::string_view option;
    std::string_view count;
    std::string_view rows;
};

constexpr OptionQueries kCall{
    "CALL",
    "SELECT COUNT(*) FROM dating WHERE option = 'CALL' AND contract = ? AND date = ?",
    "SELECT * FROM dating WHERE option = 'CALL' AND contract = ?",
};
constexpr OptionQueries kPut{
    "PUT",
    "SELECT COUNT(*) FROM dating WHERE option = 'PUT' AND contract = ? AND date = ?",
    "SELECT * FROM dating WHERE option = 'PUT' AND contract = ?",
};

// The strikes of a contract over all stored days with their accumulated volumes, in slots of
// a fixed capacity filled in the order the strikes first appear. A strike of 0.0 marks a
// free slot, so rows with the strike 0.0 add to the first free slot and are lost when a new
// strike takes it. Strikes are found through a map instead of a scan of the slots, and only
// the slots in use take memory.
class VolumeSlots final {
public:
    explicit VolumeSlots(std::int64_t capacity) : capacity_(capacity) {}

    void Add(double strike, std::int64_t volume) {
        if (strike == 0.0) {
            if (Used() < capacity_) {
                free_slot_volume_ += volume;
            }
            return;
        }
        const auto found = index_.find(strike);
        if (found != index_.end()) {
            volumes_[found->second] += volume;
            return;
        }
        if (Used() == capacity_) {
            return;
        }
        index_.emplace(strike, strikes_.size());
        strikes_.push_back(strike);
        volumes_.push_back(volume);
        free_slot_volume_ = 0;
    }

    // The strike with the largest total; the first one met among equal totals; slot 0 when
    // no total is positive.
    double Busiest() const {
        double best_strike = strikes_.empty() ? 0.0 : strikes_.front();
        std::int64_t best_volume = 0;
        for (std::size_t i = 0; i < strikes_.size(); ++i) {
            if (volumes_[i] > best_volume) {
                best_volume = volumes_[i];
                best_strike = strikes_[i];
            }
        }
        if (Used() < capacity_ && free_slot_volume_ > best_volume) {
            best_strike = 0.0;
        }
        return best_strike;
    }

private:
    std::int64_t Used() const { return static_cast<std::int64_t>(strikes_.size()); }

    std::int64_t capacity_;
    std::vector<double> strikes_;
    std::vector<std::int64_t> volumes_;
    // What rows with the strike 0.0 added to the first free slot.
    std::int64_t free_slot_volume_ = 0;
    std::unordered_map<double, std::size_t> index_;
};

// The level of one option type; false when a query failed.
bool CalculateLevel(const QuoteSource& source, DayContext& context, const OptionQueries& q,
                    PanelNumber& level) {
    const std::optional<std::int64_t> count =
        quotes::ScalarInt(source.day, q.count, {context.contract, context.date});
    if (!count) {
        return false;
    }
    // Room for three times the day's strikes, because the other days of the contract bring
    // strikes of their own; a negative count cannot come from COUNT.
    const std::int64_t capacity = 3 * std::max<std::int64_t>(*count, 0) + 1;
    VolumeSlots slots(capacity);

    storage::Statement rows = quotes::Query(source.all_days, q.rows, {context.contract});
    bool any_row = false;
    std::string expiration;
    while (rows.Step()) {
        any_row = true;
        slots.Add(quotes::ReadDouble(rows, quotes::kStrike),
                  quotes::ReadInt(rows, quotes::kVolume));
        expiration.assign(rows.ColumnTextView(quotes::kExpiration));
    }
    // Every row read sets the expiration; the last one read is what stays.
    if (any_row) {
        context.expiration = expiration;
    }
    if (rows.Failed()) {
        return false;
    }

    const double strike = slots.Busiest();
    const std::optional<double> premium = quotes::Premium(source.day, q.option, context.contract,
                                                          context.date, quotes::StrikeText(strike));
    if (!premium) {
        return false;
    }
    level = strike > 0.0 ? PriceNumber(strike, context.symbol, q.option, *premium,
                                       context.forward_point, context.price_type)
                         : PanelNumber::Blank();
    return true;
}

}  // namespace

bool CalculateBasicIndicators(const QuoteSource& source, DayContext& context) {
    // Set only from the rows read: a contract without any must not show another's date.
    context.expiration.clear();
    return CalculateLevel(source, context, kCall, context.call_level) &&
           CalculateLevel(source, context, kPut, context.put_level);
}

}  // namespace zarvex::analytics
