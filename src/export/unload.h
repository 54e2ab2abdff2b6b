#pragma once

#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::exporting {

// Writes the instrument's rows of the date into its output folder through its templates,
// copies the day's forward-point file beside it and marks the date unloaded.
// Done when the date needs no further unload work (done now, done before, switched off, not a
// trading day, or nothing to write); failed when the output folder is not set, the output file
// cannot be written, the query fails or the flag cannot be written (the caller's day loop
// stops; the reason, the log and the status bar say why).
common::Outcome UnloadDay(const common::ProgramFolder& folder,
                          const settings::InstrumentStores& stores, const common::Host& host,
                          common::Date date);

// The forward-point copy: the file of the next trading day after the date, or the date's
// own file when that one is missing or empty, copied into the output folder under its own
// name. A failing copy is ignored.
void CopyForwardPoints(const common::ProgramFolder& folder, std::string_view output_folder,
                       common::Date date);

}  // namespace zarvex::exporting
