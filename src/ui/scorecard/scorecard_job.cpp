#include "ui/scorecard/scorecard_job.h"

#include <QMetaObject>
#include <thread>
#include <utility>

#include "storage/database.h"

namespace zarvex::ui {

ScorecardJob::ScorecardJob(QObject* receiver, Done done)
    : receiver_(receiver), done_(std::move(done)), shared_(std::make_shared<Shared>()) {}

ScorecardJob::~ScorecardJob() {
    // A worker still running finds the job gone and keeps its result to itself.
    const std::lock_guard<std::mutex> guard(shared_->mutex);
    shared_->alive = false;
}

bool ScorecardJob::Running() const {
    const std::lock_guard<std::mutex> guard(shared_->mutex);
    return shared_->running > 0;
}

void ScorecardJob::Start(const std::filesystem::path& quote_file,
                         const settings::Settings& settings, const std::string& symbol) {
    unsigned generation = 0;
    {
        const std::lock_guard<std::mutex> guard(shared_->mutex);
        generation = ++shared_->generation;
        ++shared_->running;
    }
    std::thread([shared = shared_, receiver = receiver_, done = done_, quote_file, settings, symbol,
                 generation] {
        ScorecardResult result;
        const storage::Database db = storage::Database::OpenReadOnly(quote_file);
        if (!db.IsOpen()) {
            result.failure = quote_file.string() + ": the file cannot be opened";
        } else {
            analytics::ScorecardRequest request;
            request.input = analytics::AnalysisInput(settings, symbol);
            analytics::Scorecard card;
            const common::Outcome outcome = analytics::ComputeScorecard(db, request, card);
            const std::string fault = db.FaultText();
            if (!outcome.IsDone() || !fault.empty()) {
                result.failure =
                    quote_file.string() + ": " + (fault.empty() ? outcome.Reason() : fault);
            } else {
                result.card = std::move(card);
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
