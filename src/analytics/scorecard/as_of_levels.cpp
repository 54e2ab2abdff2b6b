#include "analytics/scorecard/as_of_levels.h"

#include <algorithm>

namespace zarvex::analytics {

AsOfLevels::AsOfLevels(const ContractRows& rows)
    : rows_(rows), row_days_(rows.rows.size(), common::kInvalidDate) {
    for (const auto& [text, positions] : rows.days) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day == common::kInvalidDate || common::DayText(day) != text) {
            continue;
        }
        for (const std::size_t position : positions) {
            row_days_[position] = day;
        }
        days_.emplace_back(day, &positions);
    }
    std::sort(days_.begin(), days_.end());
    levels_.expiration = rows.expiration;
}

void AsOfLevels::Pour(std::size_t position) {
    const StoredOption& row = rows_.rows[position];
    (row.side == common::Side::kCall ? levels_.call_levels : levels_.put_levels)
        .Add(row.strike.as_double, row.volume.as_int);
    any_poured_ = true;
    last_poured_ = std::max(last_poured_, position);
}

void AsOfLevels::Restart() {
    levels_.call_levels = LevelStrikes();
    levels_.put_levels = LevelStrikes();
    any_poured_ = false;
    last_poured_ = 0;
    for (std::size_t i = 0; i < rows_.rows.size(); ++i) {
        if (row_days_[i] != common::kInvalidDate && row_days_[i] <= through_) {
            Pour(i);
        }
    }
}

const ContractLevels& AsOfLevels::Through(common::Date day) {
    if (through_ != common::kInvalidDate && day < through_) {
        // Asked out of order: start again from nothing.
        next_day_ = 0;
        through_ = day;
        while (next_day_ < days_.size() && days_[next_day_].first <= day) {
            ++next_day_;
        }
        Restart();
        return levels_;
    }
    through_ = day;
    const std::size_t first_new = next_day_;
    while (next_day_ < days_.size() && days_[next_day_].first <= day) {
        ++next_day_;
    }
    // The new days' rows, merged into file order (two new days may interleave).
    std::vector<std::size_t> fresh;
    for (std::size_t i = first_new; i < next_day_; ++i) {
        fresh.insert(fresh.end(), days_[i].second->begin(), days_[i].second->end());
    }
    std::sort(fresh.begin(), fresh.end());
    if (any_poured_ && !fresh.empty() && fresh.front() < last_poured_) {
        Restart();
        return levels_;
    }
    for (const std::size_t position : fresh) {
        Pour(position);
    }
    return levels_;
}

}  // namespace zarvex::analytics
