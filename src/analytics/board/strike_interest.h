#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "analytics/day/stored_rows.h"
#include "common/side.h"
#include "common/strike.h"

namespace zarvex::analytics {

// One option of a day as the board's strike lists and map count it.
struct StrikeOption {
    double strike = 0.0;
    std::int64_t oi = 0;
    std::int64_t volume = 0;
};

// The options of one side of a contract on a day, by strike. A report now
// and then repeats a strike line, the later one correct, and both may be stored: the last row
// of a strike stands for it. Rows whose strike or open interest is no number (the blank lines
// of older extractions) are no option, nor is one whose open interest or volume lies beyond a
// thousand million million.
using SideOptions = std::map<common::StrikeKey, StrikeOption>;

struct DayOptions {
    SideOptions call;
    SideOptions put;
    const SideOptions& Of(common::Side side) const {
        return side == common::Side::kCall ? call : put;
    }
};

DayOptions OptionsOfDay(const std::vector<StoredOption>& rows,
                        const std::vector<std::size_t>& positions);

}  // namespace zarvex::analytics
