#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "analytics/day/stored_rows.h"
#include "analytics/scorecard/numeric_rows.h"
#include "common/date.h"
#include "common/side.h"

namespace zarvex::analytics {

// The CALL and PUT level strikes of a contract as they stood on an evening: poured from the
// rows dated on or before that day only, in the file's row order, as the panel pours every
// stored row. For the latest day they are the panel's own; for a past day they are what the
// panel showed that evening, without the volume of the days that came after it.
//
// Days are asked for in ascending order. While each new day's rows follow every row already
// poured in the file (the usual case: days are extracted in order), a day costs only its own
// rows; a day filled in later, whose rows stand before others, pours everything again.
class AsOfLevels final {
public:
    explicit AsOfLevels(const ContractRows& rows);
    // The same from the contract's rows read as numbers.
    explicit AsOfLevels(const NumericContract& contract);

    // The levels through `day` (the expiration is the contract's own).
    const ContractLevels& Through(common::Date day);

private:
    // What a row brings to the levels.
    struct LevelRow {
        std::optional<common::Side> side;  // a row of neither side counts as a PUT's
        double strike = 0.0;
        std::int64_t volume = 0;
    };
    using Days = std::vector<std::pair<common::Date, const std::vector<std::size_t>*>>;

    AsOfLevels(std::size_t row_count, Days days, const std::string& expiration);
    LevelRow RowAt(std::size_t position) const;
    void Pour(std::size_t position);
    void Restart();

    // The rows: the one or the other.
    const ContractRows* stored_ = nullptr;
    const NumericContract* numeric_ = nullptr;
    std::size_t row_count_ = 0;
    // Each row's day, kInvalidDate where its day text names no day (such a row is never poured);
    // made at the first restart.
    std::vector<common::Date> row_days_;
    // The contract's days in ascending order with their rows.
    Days days_;
    std::size_t next_day_ = 0;
    bool any_poured_ = false;
    std::size_t last_poured_ = 0;
    common::Date through_ = common::kInvalidDate;
    ContractLevels levels_;
};

}  // namespace zarvex::analytics
