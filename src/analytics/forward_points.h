#pragma once

#include <string_view>

#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// The forward point of `symbol` on the day of `date`, from INPUT/FP_yyyymmdd.TXT: the first
// line that contains the symbol, read from its fifth character on as a decimal number. 0.0 when
// the file cannot be read, has no line for the symbol, or the number cannot be read. A date
// <= 0 is a caller's mistake: it is reported through host's message box and gives 0.0.
double GetFPFromFile(const common::ProgramFolder& folder, common::Date date,
                     std::string_view symbol, const common::Host& host);

// The forward point that the calculations of a selected day use. 0.0 unless fp_switch is 1.
// Otherwise the point of the next trading day after the selected day; when that is 0.0, the
// point of the last trading day before that next one (the selected day itself when it trades).
double ResolveForwardPoint(const common::ProgramFolder& folder, common::Date selected_day,
                           std::string_view symbol, int fp_switch, const common::Host& host);

}  // namespace zarvex::analytics
