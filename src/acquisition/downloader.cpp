#include "acquisition/downloader.h"

#include "acquisition/endpoints.h"
#include "acquisition/file_writer.h"
#include "acquisition/report_normaliser.h"
#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"
#include "common/text_id.h"
#include "storage/folder_lock.h"
#include "storage/stage_flags.h"

namespace zarvex::acquisition {

namespace {

// Days a missing report may fail before the catch-up passes over it.
constexpr int kPassOverFailures = 10;
constexpr int kCatchUpDays = 30;

}  // namespace

std::string_view ReportPrefix(ReportKind kind) {
    switch (kind) {
        case ReportKind::kCur:
            return "CUR_";
        case ReportKind::kOil:
            return "OIL_";
        case ReportKind::kMet:
            return "MET_";
        case ReportKind::kEqt:
            return "EQT_";
    }
    return "CUR_";
}

std::string ReportFileName(common::Date day, ReportKind kind) {
    return std::string(ReportPrefix(kind)) + common::DateKey(day) + ".TXT";
}

std::string ForwardPointRemoteName(common::Date day) {
    return common::DateKey(day) + ".txt";
}

namespace {

// A download database that is there is opened at once. Making a new one writes it, so that is
// done under the folder's lock: taken at once when it is free, and otherwise (another run holds
// it) left to the first mark, which waits for it, so that a program starts without waiting.
storage::DownloadStore OpenStore(const common::ProgramFolder& folder) {
    std::error_code error;
    const std::filesystem::path path = storage::DownloadPath(folder);
    if (std::filesystem::file_size(path, error) > 0 && !error) {
        return storage::OpenDownloadStore(folder);
    }
    const storage::FolderLock lock(folder.Db(), {}, std::chrono::milliseconds(0));
    if (lock.GetState() != storage::FolderLock::State::kTimedOut) {
        return storage::OpenDownloadStore(folder);
    }
    storage::DownloadStore store;
    store.path = path;
    return store;
}

}  // namespace

Downloader::Downloader(DownloaderSetup setup)
    : setup_(std::move(setup)), store_(OpenStore(setup_.folder)) {}

common::Outcome Downloader::MarkDownloaded(const std::string& key) {
    // DB/download.lql is written under the lock that guards the day runs, as their own
    // databases are: a run of the other program on the folder finishes first. The lock is
    // shared with a run of this thread (the scheduler's worker runs the day it downloaded),
    // and a close of the program ends the wait.
    const storage::FolderLock lock(
        setup_.folder.Db(), [this] { setup_.host.PumpEvents(); }, storage::FolderLock::kDefaultWait,
        [this] { return Stopping(); });
    if (lock.GetState() == storage::FolderLock::State::kTimedOut) {
        return Fail("another run kept " + lock.Path().string() + " locked; " + key +
                    " was not marked downloaded in " + store_.path.string());
    }
    if (!store_.db.IsOpen()) {
        store_ = storage::OpenDownloadStore(setup_.folder);
    }
    if (!storage::MarkStage(store_.db, key, storage::kStageDownload)) {
        // Unmarked, the day is fetched again by the next run; reporting it done would hide
        // that every later run repeats it.
        return Fail("cannot mark " + key + " downloaded in " + store_.path.string() + ": " +
                    store_.db.LastError());
    }
    return common::Outcome::Done();
}

std::string Downloader::CurrentTarget() const {
    std::lock_guard guard(field_mutex_);
    return current_target_;
}

int Downloader::FailureCounter() const {
    std::lock_guard guard(field_mutex_);
    return failure_counter_;
}

common::Outcome Downloader::Fail(std::string reason) {
    reason = WithoutCredentials(reason);
    common::Log(reason);
    return common::Outcome::Failed(std::move(reason));
}

void Downloader::SetTarget(const std::filesystem::path& path) {
    std::lock_guard guard(field_mutex_);
    current_target_ = path.string();
}

void Downloader::SendStatus(std::string_view text) const {
    if (setup_.notifier != nullptr) {
        setup_.notifier->NotifyStatus(text);
    }
}

Deadline Downloader::StartBound() const {
    return std::chrono::steady_clock::now() + setup_.day_limit;
}

bool Downloader::OutOfTime(Deadline deadline) const {
    return std::chrono::steady_clock::now() >= deadline;
}

std::string Downloader::TlsReason(std::string_view url, const std::string& failure) {
    // Over plain HTTP the lines stay as they always were; over HTTPS the reason is what the
    // user needs (a certificate that does not verify, and why).
    if (failure.empty() || !common::StartsWith(url, "https://")) {
        return {};
    }
    return " (" + failure + ")";
}

std::string Downloader::WithBound(std::string failure, Deadline deadline) const {
    // A transfer cut by the bound may come back a hair before it by the clock's reckoning.
    constexpr auto kSlack = std::chrono::milliseconds(50);
    if (OutOfTime(deadline - kSlack) && !Stopping()) {
        const auto ms = setup_.day_limit.count();
        failure +=
            "; the run had reached its limit of " +
            (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms") +
            " and was given up";
    }
    return failure;
}

namespace {

ReceivedBody Received(const FetchResult& result, std::string_view body) {
    ReceivedBody received;
    received.bytes = body;
    received.length_proven = result.length_proven;
    received.cut = result.cut;
    return received;
}

}  // namespace

Downloader::Fetched Downloader::FetchWhole(const std::string& url, std::size_t capacity,
                                           BodyEnd end, Deadline deadline) {
    Fetched first;
    first.result = setup_.transport->FetchToBuffer(url, first.buffer, capacity, deadline);
    if (first.result.count <= 0 || IsErrorPage(first.result, first.buffer)) {
        return first;  // failed, missing or empty: the callers tell these apart
    }
    BodyVerdict verdict = JudgeBody(Received(first.result, first.Body()), nullptr, end);
    if (verdict == BodyVerdict::kFetchAgain) {
        common::Log(url, " came without a length; fetching it again to compare");
        Fetched second;
        second.result = setup_.transport->FetchToBuffer(url, second.buffer, capacity, deadline);
        if (second.result.count < 0) {
            return second;  // the network failed: as if the first had
        }
        const ReceivedBody again = Received(second.result, second.Body());
        verdict = IsErrorPage(second.result, second.buffer)
                      ? BodyVerdict::kDiffers
                      : JudgeBody(Received(first.result, first.Body()), &again, end);
    }
    if (verdict != BodyVerdict::kStore) {
        first.refused = verdict;
    }
    return first;
}

void Downloader::Pause(Deadline deadline) {
    // The listing said the file is there; give the server a moment, keeping the window alive.
    const auto step = std::chrono::milliseconds(10);
    for (auto waited = std::chrono::milliseconds(0);
         waited < setup_.pause && !Stopping() && !OutOfTime(deadline); waited += step) {
        if (setup_.clock != nullptr) {
            setup_.clock->SleepFor(step);
        }
        setup_.host.PumpEvents();
    }
}

common::Outcome Downloader::DownloadReport(common::Date day, ReportKind kind) {
    std::lock_guard run(run_mutex_);
    return DownloadReportLocked(day, kind, StartBound());
}

common::Outcome Downloader::DownloadReportLocked(common::Date day, ReportKind kind,
                                                 Deadline deadline) {
    const std::string name = ReportFileName(day, kind);
    const std::filesystem::path local = setup_.folder.Input() / name;
    SetTarget(local);
    common::Log("DownloadReport ", name);
    const std::string folder_url = ServerUrl(setup_.report_host, kReportFolderPath);
    std::string failure;
    const std::string listing = setup_.transport->FetchText(folder_url, deadline, &failure);
    if (listing.empty()) {
        return Fail(WithBound(
            "no report listing from " + folder_url + TlsReason(folder_url, failure), deadline));
    }
    if (!ListingNames(listing, name)) {
        return Fail(name + " is not published yet on " + setup_.report_host);
    }
    Pause(deadline);
    if (Stopping()) {
        return Fail("stopped before " + name);
    }
    if (OutOfTime(deadline)) {
        return Fail(WithBound("no time left for " + name, deadline));
    }
    const std::string url = folder_url + name;
    const Fetched fetched = FetchWhole(url, setup_.report_capacity, BodyEnd::kLineBreak, deadline);
    const FetchResult& result = fetched.result;
    if (result.count < 0) {
        return Fail(WithBound("cannot fetch " + url + " (" + result.failure + ")", deadline));
    }
    if (result.not_found || IsErrorPage(result, fetched.buffer)) {
        return Fail(url + " answered with the error page");
    }
    if (result.count == 0) {
        return Fail(url + " answered with an empty body");
    }
    if (fetched.refused) {
        // Stored cut, a report would mark the day with the later sections missing for good.
        return Fail(RefusalText(url, *fetched.refused, setup_.report_capacity));
    }
    const std::string_view received = fetched.Body();
    if (setup_.is_report && !setup_.is_report(received)) {
        // A login page or an error text sent as a success: stored, it would mark the day as
        // extracted with nothing in it.
        return Fail(url + " answered with something that is no report");
    }
    const std::string stored = NormaliseReport(received);
    if (!WriteFileAtomically(local, stored)) {
        return Fail("cannot write " + local.string());
    }
    common::Log("stored ", local.string());
    return common::Outcome::Done();
}

common::Outcome Downloader::DownloadDay(common::Date day) {
    std::lock_guard run(run_mutex_);
    return DownloadDayLocked(day);
}

common::Outcome Downloader::DownloadDayLocked(common::Date day) {
    common::Log("DownloadDay ", common::DayText(day));
    if (!common::IsTradingDay(day)) {
        common::Log("not a trading day");
        return common::Outcome::Done();
    }
    const std::string key = common::DateKey(day);
    if (storage::GetStageFlag(store_.db, key, storage::kStageDownload) == 1) {
        return common::Outcome::Done();
    }
    // One bound for the whole day, so that a server crawling on every request in turn cannot
    // stretch the day past it either.
    const Deadline deadline = StartBound();
    if (common::Outcome report = DownloadReportLocked(day, ReportKind::kCur, deadline);
        !report.IsDone()) {
        return report;
    }
    if (common::Outcome points = DownloadForwardPointsLocked(day, deadline); !points.IsDone()) {
        return points;
    }
    return MarkDownloaded(key);
}

common::Outcome Downloader::DownloadPreviousDays(common::Date now) {
    std::lock_guard run(run_mutex_);
    common::Log("DownloadPreviousDays");
    const common::ScopedUiLock lock(setup_.host.lock);
    const common::Date last = now - common::kSecondsPerDay;
    const common::Date first = now - kCatchUpDays * common::kSecondsPerDay;
    common::Log("enddat: ", common::DayText(last));
    common::Log("rundat: ", common::DayText(first));
    common::Outcome result = common::Outcome::Done();
    for (common::Date day = first; day <= last; day += common::kSecondsPerDay) {
        if (Stopping()) {
            result = Fail("stopped");
            break;
        }
        SendStatus(setup_.host.Text(common::text::kLoadingDataFor) + common::DayText(day) + ". " +
                   setup_.host.Text(common::text::kWindowLocked));
        result = DownloadDayLocked(day);
        if (!result.IsDone() && Stopping()) {
            break;  // a close is no failure of the day: the counter stays
        }
        if (!result.IsDone()) {
            std::lock_guard guard(field_mutex_);
            ++failure_counter_;
            // A report that never comes blocks the catch-up only so long; yesterday is never
            // passed over.
            if (day < last && failure_counter_ == kPassOverFailures) {
                result = common::Outcome::Done();
                failure_counter_ = 0;
            }
        }
        if (!result.IsDone()) {
            break;
        }
    }
    common::Log("DownloadPreviousDays end ", result.Flag());
    return result;
}

common::Outcome Downloader::DownloadCurrentDay(common::Date now) {
    std::lock_guard run(run_mutex_);
    common::Log("DownloadCurrentDay");
    const common::ScopedUiLock lock(setup_.host.lock);
    SendStatus(setup_.host.Text(common::text::kLoadingDataFor) + common::DayText(now) + ". " +
               setup_.host.Text(common::text::kWindowLocked));
    common::Log("day ", common::DayText(now));
    common::Outcome result = DownloadDayLocked(now);
    common::Log("DownloadCurrentDay end ", result.Flag());
    return result;
}

}  // namespace zarvex::acquisition
