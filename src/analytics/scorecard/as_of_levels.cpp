#include "analytics/scorecard/as_of_levels.h"

#include <algorithm>

namespace zarvex::analytics {

namespace {

std::vector<std::pair<common::Date, const std::vector<std::size_t>*>> DaysOf(
    const ContractRows& rows) {
    std::vector<std::pair<common::Date, const std::vector<std::size_t>*>> days;
    for (const auto& [text, positions] : rows.days) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day != common::kInvalidDate && common::DayText(day) == text) {
            days.emplace_back(day, &positions);
        }
    }
    return days;
}

std::vector<std::pair<common::Date, const std::vector<std::size_t>*>> DaysOf(
    const NumericContract& contract) {
    std::vector<std::pair<common::Date, const std::vector<std::size_t>*>> days;
    days.reserve(contract.days.size());
    for (const auto& [day, positions] : contract.days) {
        days.emplace_back(day, &positions);
    }
    return days;
}

}  // namespace

AsOfLevels::AsOfLevels(const ContractRows& rows)
    : AsOfLevels(rows.rows.size(), DaysOf(rows), rows.expiration) {
    stored_ = &rows;
}

AsOfLevels::AsOfLevels(const NumericContract& contract)
    : AsOfLevels(contract.rows.size(), DaysOf(contract), contract.expiration) {
    numeric_ = &contract;
}

AsOfLevels::AsOfLevels(std::size_t row_count, Days days, const std::string& expiration)
    : row_count_(row_count), days_(std::move(days)) {
    std::sort(days_.begin(), days_.end());
    levels_.expiration = expiration;
}

AsOfLevels::LevelRow AsOfLevels::RowAt(std::size_t position) const {
    if (numeric_ != nullptr) {
        const NumericRow& row = numeric_->rows[position];
        if (row.whole == 0) {
            return LevelRow{row.side, row.strike, row.volume};
        }
        const StoredOption& whole = numeric_->whole[row.whole - 1];
        return LevelRow{whole.side, whole.strike.as_double, whole.volume.as_int};
    }
    const StoredOption& row = stored_->rows[position];
    return LevelRow{row.side, row.strike.as_double, row.volume.as_int};
}

void AsOfLevels::Pour(std::size_t position) {
    const LevelRow row = RowAt(position);
    (row.side == common::Side::kCall ? levels_.call_levels : levels_.put_levels)
        .Add(row.strike, row.volume);
    any_poured_ = true;
    last_poured_ = std::max(last_poured_, position);
}

void AsOfLevels::Restart() {
    levels_.call_levels = LevelStrikes();
    levels_.put_levels = LevelStrikes();
    any_poured_ = false;
    last_poured_ = 0;
    if (row_days_.empty()) {
        // Only a day filled in later needs every row's day.
        row_days_.assign(row_count_, common::kInvalidDate);
        for (const auto& [day, positions] : days_) {
            for (const std::size_t position : *positions) {
                row_days_[position] = day;
            }
        }
    }
    for (std::size_t i = 0; i < row_days_.size(); ++i) {
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
    // The new days' rows in file order: one day's as they are, several merged (two new days
    // may interleave).
    std::vector<std::size_t> merged;
    const std::vector<std::size_t>* fresh = &merged;
    if (next_day_ == first_new + 1) {
        fresh = days_[first_new].second;
    } else {
        for (std::size_t i = first_new; i < next_day_; ++i) {
            merged.insert(merged.end(), days_[i].second->begin(), days_[i].second->end());
        }
        // Mostly in order already: each day's rows follow the last day's in the file.
        if (!std::is_sorted(merged.begin(), merged.end())) {
            std::sort(merged.begin(), merged.end());
        }
    }
    if (any_poured_ && !fresh->empty() && fresh->front() < last_poured_) {
        Restart();
        return levels_;
    }
    for (const std::size_t position : *fresh) {
        Pour(position);
    }
    return levels_;
}

}  // namespace zarvex::analytics
