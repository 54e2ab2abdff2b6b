#include "analytics/right_panel/right_panel_day.h"

#include "analytics/forward_points.h"
#include "common/date.h"

namespace zarvex::analytics {

RightPanelDay ResolveRightPanelDay(const common::ProgramFolder& folder, std::string_view symbol,
                                   std::string_view date, std::string_view contract, int fp_switch,
                                   const common::Host& host) {
    RightPanelDay day;
    day.symbol = symbol;
    day.date = date;
    day.contract = contract;
    // A text that names no day has no forward-point file to look for.
    const common::Date selected = common::ParseDate(date, "%dd.%mm.%yyyy");
    if (selected != common::kInvalidDate) {
        day.forward_point = ResolveForwardPoint(folder, selected, symbol, fp_switch, host);
    }
    return day;
}

}  // namespace zarvex::analytics
