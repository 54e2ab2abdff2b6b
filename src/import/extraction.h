#pragma once

#include <string_view>
#include <vector>

#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::import {

// A report line of blanks only. Inside a contract block the parser makes an empty row of it,
// which carries no option and is not stored.
bool IsBlankLine(std::string_view line);

// Reads the day's report (INPUT/CUR_yyyymmdd.TXT) for the instrument's symbol and stores its
// rows in the quote database inside one transaction: new rows are inserted, rows already
// there (same symbol, option, contract, day and strike) take the report's values. Marks the
// day extracted when the report held at least one line and every row was stored.
// Done when the day needs no further extraction (done now, done before, switched off, not a
// trading day); failed when no report could be read for it, a row or the commit could not be
// written (the day is rolled back), or the flag could not be written. The reason, the log
// and the status bar then say which file failed.
common::Outcome ExtractReport(const common::ProgramFolder& folder,
                              settings::InstrumentStores& stores, const common::Host& host,
                              common::Date date);

// The same for several instruments with one pass over the report: each line goes to every
// instrument still reading, each into its own transaction. The results are in the order
// given; one instrument's failure leaves the others' days as they would be on their own.
std::vector<common::Outcome> ExtractReports(
    const common::ProgramFolder& folder,
    const std::vector<settings::InstrumentStores*>& instruments, const common::Host& host,
    common::Date date);

}  // namespace zarvex::import
