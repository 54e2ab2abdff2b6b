#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "common/symbols.h"
#include "day/evening_board.h"
#include "day/instrument.h"

namespace zarvex::day {

// The six instruments, always visited in the order EUR, GBP, AUD, CAD, JPY, CHF, which is
// also the index order of the tab strip and of the notifications.
class InstrumentList final {
public:
    static constexpr int kCount = static_cast<int>(common::kSymbols.size());
    static constexpr const std::array<std::string_view, kCount>& kSymbols = common::kSymbols;

    // Builds the six instruments, opening their stores.
    InstrumentList(common::ProgramFolder folder, common::Host host);

    Instrument& At(int index) { return *instruments_.at(static_cast<std::size_t>(index)); }
    const Instrument& At(int index) const {
        return *instruments_.at(static_cast<std::size_t>(index));
    }
    // Index of a symbol, or -1.
    static int IndexOf(std::string_view symbol) { return common::InstrumentIndex(symbol); }

    // The runs below fail when some instrument could not finish its day, with the symbol and
    // the file, folder or setting at fault of the first instrument (in the order above) that
    // failed; the others still ran.

    // Stores the date, runs the previous-days processing on every instrument and shows the
    // completion text. Fails when some instrument stopped at a day it could not finish.
    common::Outcome RunPreviousDays(common::Date date);
    // Runs the day processing of the stored date on every instrument and shows the
    // completion text.
    common::Outcome RunCurrentDay();
    // The same for the given day, which becomes the stored date: the scheduler hands over
    // the day it has just downloaded, so a program left open for days processes each new
    // evening's day rather than the date of its first catch-up.
    common::Outcome RunCurrentDay(common::Date day);

    // The main window's answer to notification 560: the previous days before the scheduler's
    // current day, or the day the scheduler has just downloaded (the stored date while the
    // scheduler has no day). What the run came to; nullopt when nothing ran (previous days
    // without a day, or a value that names neither).
    std::optional<common::Outcome> OnDownloaded(common::DownloadedDays what,
                                                common::Date scheduler_day);

    common::Date StoredDate() const { return stored_date_; }

    // From now on every run ends with the evening: the board of the last day run, the levels
    // feed and the alert rules of config_folder, handed to sink (may be null) as well. A problem
    // there never fails the run.
    void SetEvening(std::filesystem::path config_folder, EveningSink* sink);
    // What the last evening found; nullopt before one ran.
    const std::optional<EveningReport>& LastEvening() const { return last_evening_; }

private:
    // Collects the results of a run: done when all are, else the first failure.
    common::Outcome Conclude(const std::vector<common::Outcome>& results) const;
    std::vector<settings::InstrumentStores*> AllStores();
    void Evening(common::Date up_to);

    common::Host host_;
    common::Date stored_date_ = 0;
    std::array<std::unique_ptr<Instrument>, kCount> instruments_;
    std::optional<std::filesystem::path> evening_config_;
    EveningSink* evening_sink_ = nullptr;
    std::optional<EveningReport> last_evening_;
};

}  // namespace zarvex::day
