#pragma once

#include <vector>

#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::day {

// One day: extraction, then the unload when the extraction was done, under the UI lock.
// Fails with the reason of whichever step failed.
common::Outcome ProcessDay(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                           const common::Host& host, common::Date date);
// The day of several instruments under one UI lock: one extraction pass over the report for
// all of them, then each one's unload in the order given. One result per instrument.
std::vector<common::Outcome> ProcessDay(const common::ProgramFolder& folder,
                                        const std::vector<settings::InstrumentStores*>& instruments,
                                        const common::Host& host, common::Date date);

// The 30 days before the date, oldest first, each extracted and unloaded; stops at the first
// day that fails (that day and the later ones are tried again by the next run) and returns
// that day's failure.
common::Outcome ProcessPreviousDays(const common::ProgramFolder& folder,
                                    settings::InstrumentStores& stores, const common::Host& host,
                                    common::Date date);
// The same for several instruments, day by day, so that each day's report is read once for
// all of them; an instrument that fails stops there while the others go on. One result per
// instrument.
std::vector<common::Outcome> ProcessPreviousDays(
    const common::ProgramFolder& folder,
    const std::vector<settings::InstrumentStores*>& instruments, const common::Host& host,
    common::Date date);

}  // namespace zarvex::day
