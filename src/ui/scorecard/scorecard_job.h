#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "analytics/scorecard/scorecard.h"
#include "common/program_folder.h"
#include "settings/settings.h"

namespace zarvex::ui {

// What a scorecard computed off the window's thread came to: the card, or why there is none.
struct ScorecardResult {
    std::optional<analytics::Scorecard> card;
    std::string failure;  // names the file and the fault where card is empty
};

// Computes scorecards on worker threads and hands each result to the window's thread, through
// the event loop of `receiver`. Only the latest request counts: a result for a request that a
// later one replaced is dropped, and none arrives once the job is gone. A worker opens a
// connection of its own to the quote file, so that the window's connection is never shared, and
// brings the symbol's volatility store in line to read the forwards from it; where that means
// summarising days (a first card of years of days takes seconds), `progress` hears how far it
// has come, on the receiver's thread, every hundredth of the way.
class ScorecardJob final {
public:
    using Done = std::function<void(const ScorecardResult&)>;
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    ScorecardJob(QObject* receiver, Done done, Progress progress = {});
    ~ScorecardJob();
    ScorecardJob(const ScorecardJob&) = delete;
    ScorecardJob& operator=(const ScorecardJob&) = delete;

    // The card of the symbol's quote file in `folder`.
    void Start(const common::ProgramFolder& folder, const settings::Settings& settings,
               const std::string& symbol);
    bool Running() const;

private:
    struct Shared {
        std::mutex mutex;
        bool alive = true;
        unsigned generation = 0;
        int running = 0;
    };

    QPointer<QObject> receiver_;
    Done done_;
    Progress progress_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace zarvex::ui
