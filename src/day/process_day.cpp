#include "day/process_day.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_id.h"
#include "day/folder_run.h"
#include "day/volatility_refresh.h"
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
std::vector<common::Outcome> Refuse(const common::Host& host, std::size_t count,
                                    const common::Outcome& why) {
    host.ShowStatus(why.Reason());
    return std::vector<common::Outcome>(count, why);
}

}  // namespace

std::vector<common::Outcome> ProcessDay(const common::ProgramFolder& folder,
                                        const std::vector<settings::InstrumentStores*>& instruments,
                                        const common::Host& host, common::Date date) {
    common::ScopedUiLock lock(host.lock);
    if (instruments.empty()) {
        return {};
    }
    const FolderRun run(folder, host);
    if (!run.Admission().IsDone()) {
        return Refuse(host, instruments.size(), run.Admission());
    }
    host.ShowStatus(BusyDayText(host, instruments.front()->symbol, date));
    const VolatilityRefresh refresh(folder, instruments);
    std::vector<common::Outcome> results = import::ExtractReports(folder, instruments, host, date);
    refresh.After(date, results);
    for (std::size_t i = 0; i < instruments.size(); ++i) {
        if (i > 0) {
            host.ShowStatus(BusyDayText(host, instruments[i]->symbol, date));
        }
        if (results[i].IsDone()) {
            results[i] = exporting::UnloadDay(folder, *instruments[i], host, date);
        }
    }
    return results;
}

common::Outcome ProcessDay(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                           const common::Host& host, common::Date date) {
    return std::move(ProcessDay(folder, {&stores}, host, date).front());
}

std::vector<common::Outcome> ProcessPreviousDays(
    const common::ProgramFolder& folder,
    const std::vector<settings::InstrumentStores*>& instruments, const common::Host& host,
    common::Date date) {
    common::ScopedUiLock lock(host.lock);
    const FolderRun run(folder, host);
    if (!run.Admission().IsDone()) {
        return Refuse(host, instruments.size(), run.Admission());
    }
    host.ShowStatus(BusyText(host));
    std::vector<common::Outcome> results(instruments.size(), common::Outcome::Done());
    // The instruments still going, by their index; one that fails stops for this run.
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
        const VolatilityRefresh refresh(folder, stores);
        std::vector<common::Outcome> done = import::ExtractReports(folder, stores, host, day);
        refresh.After(day, done);
        std::vector<std::size_t> still;
        for (std::size_t k = 0; k < going.size(); ++k) {
            if (k > 0) {
                host.ShowStatus(BusyDayText(host, stores[k]->symbol, day));
            }
            if (done[k].IsDone()) {
                done[k] = exporting::UnloadDay(folder, *stores[k], host, day);
            }
            if (done[k].IsDone()) {
                still.push_back(going[k]);
            } else {
                results[going[k]] = std::move(done[k]);
            }
        }
        going = std::move(still);
    }
    return results;
}

common::Outcome ProcessPreviousDays(const common::ProgramFolder& folder,
                                    settings::InstrumentStores& stores, const common::Host& host,
                                    common::Date date) {
    return std::move(ProcessPreviousDays(folder, {&stores}, host, date).front());
}

}  // namespace zarvex::day
