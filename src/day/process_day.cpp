#include "day/process_day.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_id.h"
#include "day/folder_run.h"
#include "export/unload.h"
#include "import/extraction.h"

namespace zarvex::day {

namespace {

constexpr int kPreviousDays = 30;

std::string BusyText(const common::Host& host) {
    return host.Text(common::text::kDataProcessing) + host.Text(common::text::kWindowLocked);
}

std::string BusyDayText(const common::Host& host, std::string_view symbol, common::Date date) {
    return BusyText(host) + " (" + std::string(symbol) + ": " + common::DayText(date) + ")";
}

// Every instrument's day fails with the same reason.
std::vector<int> Refuse(const common::Host& host,
                        const std::vector<settings::InstrumentStores*>& instruments,
                        const std::string& why) {
    for (settings::InstrumentStores* stores : instruments) {
        stores->failure = why;
    }
    host.ShowStatus(why);
    return std::vector<int>(instruments.size(), 0);
}

}  // namespace

std::vector<int> ProcessDay(const common::ProgramFolder& folder,
                            const std::vector<settings::InstrumentStores*>& instruments,
                            const common::Host& host, common::Date date) {
    common::ScopedUiLock lock(host.lock);
    std::vector<int> results(instruments.size(), 0);
    if (instruments.empty()) {
        return results;
    }
    const FolderRun run(folder, host);
    if (!run.Refusal().empty()) {
        return Refuse(host, instruments, run.Refusal());
    }
    host.ShowStatus(BusyDayText(host, instruments.front()->symbol, date));
    const std::vector<int> extracted = import::ExtractReports(folder, instruments, host, date);
    for (std::size_t i = 0; i < instruments.size(); ++i) {
        if (i > 0) {
            host.ShowStatus(BusyDayText(host, instruments[i]->symbol, date));
        }
        if (extracted[i] != 0) {
            results[i] = exporting::UnloadDay(folder, *instruments[i], host, date);
        }
    }
    return results;
}

int ProcessDay(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
               const common::Host& host, common::Date date) {
    return ProcessDay(folder, {&stores}, host, date).front();
}

std::vector<int> ProcessPreviousDays(const common::ProgramFolder& folder,
                                     const std::vector<settings::InstrumentStores*>& instruments,
                                     const common::Host& host, common::Date date) {
    common::ScopedUiLock lock(host.lock);
    const FolderRun run(folder, host);
    if (!run.Refusal().empty()) {
        return Refuse(host, instruments, run.Refusal());
    }
    host.ShowStatus(BusyText(host));
    std::vector<int> results(instruments.size(), 1);
    // The instruments still going, by their index; one that returns 0 stops for this run.
    std::vector<std::size_t> going(instruments.size());
    for (std::size_t i = 0; i < going.size(); ++i) {
        going[i] = i;
    }
    const common::Date first = date - kPreviousDays * common::kSecondsPerDay;
    for (common::Date day = first; day <= date - common::kSecondsPerDay && !going.empty();
         day += common::kSecondsPerDay) {
        std::vector<settings::InstrumentStores*> stores;
        for (std::size_t i : going) {
            stores.push_back(instruments[i]);
        }
        host.ShowStatus(BusyDayText(host, stores.front()->symbol, day));
        const std::vector<int> extracted = import::ExtractReports(folder, stores, host, day);
        std::vector<std::size_t> still;
        for (std::size_t k = 0; k < going.size(); ++k) {
            if (k > 0) {
                host.ShowStatus(BusyDayText(host, stores[k]->symbol, day));
            }
            if (extracted[k] == 0 || exporting::UnloadDay(folder, *stores[k], host, day) == 0) {
                results[going[k]] = 0;
            } else {
                still.push_back(going[k]);
            }
        }
        going = std::move(still);
    }
    return results;
}

int ProcessPreviousDays(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                        const common::Host& host, common::Date date) {
    return ProcessPreviousDays(folder, {&stores}, host, date).front();
}

}  // namespace zarvex::day
