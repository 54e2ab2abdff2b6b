#include "day/process_day.h"

#include <string>
#include <string_view>

#include "common/text_id.h"
#include "export/unload.h"
#include "import/extraction.h"

namespace zarvex::day {

namespace {

constexpr int kPreviousDays = 30;

std::string BusyText(const common::Host& host) {
    return host.Text(shell::text::kDataProcessing) + host.Text(shell::text::kWindowLocked);
}

std::string BusyDayText(const common::Host& host, std::string_view symbol, common::Date date) {
    return BusyText(host) + " (" + std::string(symbol) + ": " + common::DayText(date) + ")";
}

}  // namespace

int ProcessDay(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
               const common::Host& host, common::Date date) {
    common::ScopedUiLock lock(host.lock);
    host.ShowStatus(BusyDayText(host, stores.symbol, date));
    const int extracted = import::ExtractReport(folder, stores, host, date);
    if (extracted == 0) {
        return 0;
    }
    return exporting::UnloadDay(folder, stores, host, date);
}

int ProcessPreviousDays(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                        const common::Host& host, common::Date date) {
    common::ScopedUiLock lock(host.lock);
    host.ShowStatus(BusyText(host));
    const common::Date first = date - kPreviousDays * common::kSecondsPerDay;
    for (common::Date day = first; day <= date - common::kSecondsPerDay;
         day += common::kSecondsPerDay) {
        host.ShowStatus(BusyDayText(host, stores.symbol, day));
        if (import::ExtractReport(folder, stores, host, day) == 0) {
            return 0;
        }
        if (exporting::UnloadDay(folder, stores, host, day) == 0) {
            return 0;
        }
    }
    return 1;
}

}  // namespace zarvex::day
