#pragma once

#include <string>
#include <string_view>

#include "common/host.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// The day and contract that the right panel shows, as its configure operation settles them:
// what every histogram and option table query filters on, and the forward point that every
// price conversion of the panel uses.
struct RightPanelDay {
    std::string symbol;    // one of the instruments
    std::string date;      // "%dd.%mm.%yyyy", as stored in the quote database
    std::string contract;  // as stored (trimmed)
    double forward_point = 0.0;
};

// The day with its forward point resolved from the program folder's forward-point files (0.0
// unless fp_switch is 1, or when the date text is not a day).
RightPanelDay ResolveRightPanelDay(const common::ProgramFolder& folder, std::string_view symbol,
                                   std::string_view date, std::string_view contract, int fp_switch,
                                   const common::Host& host);

}  // namespace zarvex::analytics
