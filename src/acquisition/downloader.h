#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/answer_checks.h"
#include "acquisition/http_transport.h"
#include "acquisition/stop_flag.h"
#include "common/clock.h"
#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "storage/store.h"

namespace zarvex::acquisition {

// The kinds of report the server publishes; the day download asks only for CUR.
enum class ReportKind { kCur, kOil, kMet, kEqt };

// "CUR_" and so on.
std::string_view ReportPrefix(ReportKind kind);
// "CUR_20121203.TXT"
std::string ReportFileName(common::Date day, ReportKind kind);
// "20121203.txt", the forward-point file's name on the server.
std::string ForwardPointRemoteName(common::Date day);

// Largest answers taken. A report grows with the products the exchange lists, so its limit is
// generous; what is larger is refused, never stored cut. A forward-point file is a few lines.
inline constexpr std::size_t kReportCapacity = 64 * 1024 * 1024;
inline constexpr std::size_t kForwardPointCapacity = 4'000;

// Dependencies of the downloads. The pause between the listing and the fetch is paced by the
// clock in 10 ms steps, pumping events between them; tests shorten it.
struct DownloaderSetup {
    common::ProgramFolder folder{"."};
    HttpTransport* transport = nullptr;
    std::string report_host;
    common::Clock* clock = nullptr;
    common::Host host;                     // UI lock and event pump
    common::Notifier* notifier = nullptr;  // status texts (410); may be null
    std::chrono::milliseconds pause{5000};
    // Whether a received body is a report at all (a captive portal's page is not); the
    // program passes the report parser's test. Empty: every body counts.
    std::function<bool(std::string_view)> is_report;
    // Set when the program closes: runs end at the next day or file, pauses at once, and the
    // transfer under way is the transport's to end.
    const StopFlag* stop = nullptr;
    // Longest a day's download may take, listing, report and forward points together; a
    // forward-point range run has the same bound. A crawling server then fails the day, which
    // is retried like any other failure.
    std::chrono::milliseconds day_limit{300'000};
    // Largest report taken (tests make it small).
    std::size_t report_capacity = kReportCapacity;
};

// Downloads reports and forward-point files from the report server into INPUT/ and keeps the
// download database, whose `download` flag records the days that are complete. One download
// runs at a time; calls from several threads wait for each other.
class Downloader final {
public:
    explicit Downloader(DownloaderSetup setup);

    // A failure names the host, URL or file at fault (and is logged).

    // Done when the report file was stored (normalised) under INPUT/.
    common::Outcome DownloadReport(common::Date day, ReportKind kind);
    // Done when the day needs nothing more (stored now or before, or not a trading day).
    common::Outcome DownloadDay(common::Date day);
    // The catch-up over the 30 days before now: done when every day is done or passed over;
    // otherwise the failure of the day it stopped at.
    common::Outcome DownloadPreviousDays(common::Date now);
    // The day of now: the result of DownloadDay under the UI lock.
    common::Outcome DownloadCurrentDay(common::Date now);
    // The forward points belonging to the day: the next trading day's file, else the day's
    // own, else the two days before. Done when a file was stored.
    common::Outcome DownloadForwardPoints(common::Date day);
    // Every forward-point file the listing names from 30 days before t to 3 days after it,
    // stored in INPUT/ and copied to OUTPUT/. pump: call the event pump between days. Done
    // when the listing was read and every listed file fetched.
    common::Outcome DownloadForwardPointRange(common::Date t, bool pump = true);

    // Local path of the file being downloaded (informative).
    std::string CurrentTarget() const;
    // Failed days of the catch-up across all its runs (see DownloadPreviousDays).
    int FailureCounter() const;
    const storage::Database& DownloadDatabase() const { return store_.db; }

private:
    // A body fetched so that it can be trusted whole: when the transfer cannot prove its
    // length, a second fetch must bring the same bytes (see JudgeBody).
    struct Fetched {
        FetchResult result;
        std::string buffer;
        std::optional<BodyVerdict> refused;  // the fetch worked, but the body may not be kept
        std::string_view Body() const {
            return {buffer.data(), result.count > 0 ? static_cast<std::size_t>(result.count) : 0};
        }
    };
    Fetched FetchWhole(const std::string& url, std::size_t capacity, BodyEnd end,
                       Deadline deadline);
    Deadline StartBound() const;
    bool OutOfTime(Deadline deadline) const;
    // The failure, with the bound named when the run has reached it.
    std::string WithBound(std::string failure, Deadline deadline) const;

    void SetTarget(const std::filesystem::path& path);
    // Every failure, logged.
    static common::Outcome Fail(std::string reason);
    static std::string TlsReason(std::string_view url, const std::string& failure);
    bool Stopping() const { return StopRequested(setup_.stop); }
    void Pause(Deadline deadline);
    void SendStatus(std::string_view text) const;
    common::Outcome DownloadDayLocked(common::Date day);
    common::Outcome MarkDownloaded(const std::string& key);
    common::Outcome DownloadReportLocked(common::Date day, ReportKind kind, Deadline deadline);
    common::Outcome DownloadForwardPointsLocked(common::Date day, Deadline deadline);

    DownloaderSetup setup_;
    storage::DownloadStore store_;
    std::mutex run_mutex_;  // one download at a time
    mutable std::mutex field_mutex_;
    std::string current_target_;
    int failure_counter_ = 0;
};

}  // namespace zarvex::acquisition
