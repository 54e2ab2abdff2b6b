#include "ui/scorecard/scorecard_job.h"

#include <QMetaObject>
#include <thread>
#include <utility>

#include "analytics/volatility/volatility_store.h"
#include "storage/database.h"
#include "storage/store.h"

namespace zarvex::ui {

namespace {

// For a symbol whose volatility store cannot be brought in line.
const std::vector<analytics::DaySummary> kNoSummaries;

}  // namespace

ScorecardJob::ScorecardJob(QObject* receiver, Done done, Progress progress)
    : receiver_(receiver),
      done_(std::move(done)),
      progress_(std::move(progress)),
      shared_(std::make_shared<Shared>()) {}

ScorecardJob::~ScorecardJob() {
    // A worker still running finds the job gone and keeps its result to itself.
    const std::lock_guard<std::mutex> guard(shared_->mutex);
    shared_->alive = false;
}

bool ScorecardJob::Running() const {
    const std::lock_guard<std::mutex> guard(shared_->mutex);
    return shared_->running > 0;
}

void ScorecardJob::Start(const common::ProgramFolder& folder, const settings::Settings& settings,
                         const std::string& symbol) {
    unsigned generation = 0;
    {
        const std::lock_guard<std::mutex> guard(shared_->mutex);
        generation = ++shared_->generation;
        ++shared_->running;
    }
    std::thread([shared = shared_, receiver = receiver_, done = done_, progress = progress_, folder,
                 settings, symbol, generation] {
        ScorecardResult result;
        const std::filesystem::path quote_file = storage::QuotePath(folder, symbol);
        std::size_t told = 0;
        const analytics::StoreProgress said = [&](std::size_t done_days, std::size_t total) {
            if (!progress || total == 0) {
                return;
            }
            const std::size_t hundredths = done_days * 100 / total;
            if (done_days != 0 && done_days != total && hundredths <= told) {
                return;
            }
            told = hundredths;
            const std::lock_guard<std::mutex> guard(shared->mutex);
            if (!shared->alive || generation != shared->generation || receiver.isNull()) {
                return;
            }
            QMetaObject::invokeMethod(
                receiver.data(),
                [shared, progress, generation, done_days, total] {
                    bool current = false;
                    {
                        const std::lock_guard<std::mutex> inner(shared->mutex);
                        current = shared->alive && generation == shared->generation;
                    }
                    if (current) {
                        progress(done_days, total);
                    }
                },
                Qt::QueuedConnection);
        };
        // The store is a cache: without it every forward is fitted from the rows.
        const auto summaries = analytics::LoadVolatilityDays(folder, symbol, said, nullptr,
                                                             analytics::StoredSmiles::kRead);
        // Read by this thread alone, in one pass.
        const storage::Database db = storage::Database::OpenReadOnlyForScan(quote_file);
        if (!db.IsOpen()) {
            result.failure = quote_file.string() + ": the file cannot be opened";
        } else {
            analytics::ScorecardRequest request;
            request.input = analytics::AnalysisInput(settings, symbol);
            common::Result<analytics::Scorecard> card = analytics::ComputeScorecard(
                db, request, summaries ? summaries->days : kNoSummaries);
            const std::string fault = db.FaultText();
            if (!card || !fault.empty()) {
                result.failure =
                    quote_file.string() + ": " + (fault.empty() ? card.Reason() : fault);
            } else {
                result.card = std::move(card).Value();
            }
        }
        const std::lock_guard<std::mutex> guard(shared->mutex);
        --shared->running;
        if (!shared->alive || generation != shared->generation || receiver.isNull()) {
            return;
        }
        // Queued to the receiver's thread; Qt drops it if the receiver is deleted first, and
        // the job's own destructor cannot pass this point while it is being posted.
        QMetaObject::invokeMethod(
            receiver.data(),
            [shared, done, result = std::move(result), generation] {
                bool current = false;
                {
                    const std::lock_guard<std::mutex> inner(shared->mutex);
                    current = shared->alive && generation == shared->generation;
                }
                if (current) {
                    done(result);
                }
            },
            Qt::QueuedConnection);
    }).detach();
}

}  // namespace zarvex::ui
