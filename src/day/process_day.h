#pragma once

#include <vector>

#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::day {

// One day: extraction, then the unload when the extraction returned 1, under the UI lock.
// Returns 0 when either step returned 0, else 1.
int ProcessDay(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
               const common::Host& host, common::Date date);
// The day of several instruments under one UI lock: one extraction pass over the report for
// all of them, then each one's unload in the order given. One result per instrument.
std::vector<int> ProcessDay(const common::ProgramFolder& folder,
                            const std::vector<settings::InstrumentStores*>& instruments,
                            const common::Host& host, common::Date date);

// The 30 days before the date, oldest first, each extracted and unloaded; stops at the first
// day that returns 0 (that day and the later ones are tried again by the next run).
// Returns 0 when it stopped that way, else 1.
int ProcessPreviousDays(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                        const common::Host& host, common::Date date);
// The same for several instruments, day by day, so that each day's report is read once for
// all of them; an instrument that returns 0 stops there while the others go on. One result
// per instrument.
std::vector<int> ProcessPreviousDays(const common::ProgramFolder& folder,
                                     const std::vector<settings::InstrumentStores*>& instruments,
                                     const common::Host& host, common::Date date);

}  // namespace zarvex::day
