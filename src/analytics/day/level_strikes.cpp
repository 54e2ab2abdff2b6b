#include "analytics/day/level_strikes.h"

#include <algorithm>

namespace zarvex::analytics {

void LevelStrikes::Add(double strike, std::int64_t volume) {
    if (strike == 0.0) {
        free_slot_volume_ += volume;
        return;
    }
    // A day's rows of a side mostly come in the order of the strikes' first appearance: the
    // strike after the last one found is tried before the index.
    if (next_ < strikes_.size() && strikes_[next_] == strike) {
        volumes_[next_++] += volume;
        return;
    }
    const auto found = index_.find(strike);
    if (found != index_.end()) {
        volumes_[found->second] += volume;
        next_ = found->second + 1;
        return;
    }
    index_.emplace(strike, strikes_.size());
    strikes_.push_back(strike);
    volumes_.push_back(volume);
    next_ = strikes_.size();
    free_slot_volume_ = 0;
}

double LevelStrikes::StrikeFor(std::int64_t capacity) const {
    // A strike that came after the slots were full never got one, and its later rows were
    // lost with it; the totals of the strikes that did are complete.
    const std::size_t used = static_cast<std::size_t>(
        std::clamp<std::int64_t>(capacity, 0, static_cast<std::int64_t>(strikes_.size())));
    double best_strike = used == 0 ? 0.0 : strikes_.front();
    std::int64_t best_volume = 0;
    for (std::size_t i = 0; i < used; ++i) {
        if (volumes_[i] > best_volume) {
            best_volume = volumes_[i];
            best_strike = strikes_[i];
        }
    }
    // Rows with the strike 0.0 count only while a slot is free at the end.
    if (static_cast<std::int64_t>(used) < capacity && free_slot_volume_ > best_volume) {
        best_strike = 0.0;
    }
    return best_strike;
}

}  // namespace zarvex::analytics
