#include "acquisition/downloader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "acquisition/curl_transport.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "import/parse_report.h"
#include "recording_notifier.h"
#include "server_fixture.h"
#include "storage/folder_lock.h"
#include "storage/stage_flags.h"
#include "storage/store.h"

namespace zarvex::acquisition {
namespace {

using common::DateKey;
using common::MakeDate;
using test::ReadFile;

constexpr common::Date kDay = common::kSecondsPerDay;

class DownloaderTest : public testing::Test {
protected:
    DownloaderTest() { Rebuild(); }

    void Rebuild() {
        DownloaderSetup setup;
        setup.folder = home_.Folder();
        setup.transport = &transport_;
        setup.report_host = tree_.Host();
        setup.clock = &clock_;
        setup.host = plain_.AsHost();
        setup.notifier = &notifier_;
        setup.pause = std::chrono::milliseconds(0);
        if (check_reports_) {
            setup.is_report = [](std::string_view body) {
                return import::HoldsOptionSection(body, common::kSymbols);
            };
        }
        downloader_ = std::make_unique<Downloader>(std::move(setup));
    }

    // A published day: its report and its own forward-point file.
    void Publish(common::Date day, const std::string& report = "EUR CALL JLY13\nline 2\n") {
        tree_.PutReport(ReportFileName(day, ReportKind::kCur), report);
        tree_.PutForwardPoints(ForwardPointRemoteName(day), "EUR 10.5\nGBP 3.2\n");
    }

    bool Marked(common::Date day) {
        return storage::GetStageFlag(downloader_->DownloadDatabase(), DateKey(day),
                                     storage::kStageDownload) == 1;
    }
    std::filesystem::path ReportPath(common::Date day) { return home_.Folder().ReportFile(day); }
    // Files in INPUT/ whose names are not the program's own: leftovers of a failed write.
    std::vector<std::string> Leftovers() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home_.Path() / "INPUT")) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("CUR_", 0) != 0 && name.rfind("FP_", 0) != 0) {
                names.push_back(name);
            }
        }
        return names;
    }

    test::TempProgramFolder home_;
    test::ServedTree tree_;
    CurlTransport transport_{test::QuickTimeouts()};
    common::SystemClock clock_;
    common::PlainHost plain_;
    test::RecordingNotifier notifier_;
    bool check_reports_ = false;
    std::unique_ptr<Downloader> downloader_;
};

// Monday 3 December 2012 and the days around it.
const common::Date kMonday = MakeDate(2012, 12, 3);
const common::Date kFriday = MakeDate(2012, 11, 30);

TEST_F(DownloaderTest, DayIsStoredNormalisedWithItsForwardPointsAndMarked) {
    Publish(kMonday, "EUR CALL JLY13 1.2\r\nEUR PUT JLY13\n");
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday + kDay), "EUR 11.0\n");
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_EQ(ReadFile(ReportPath(kMonday)), "EUR CALL JUL13 1.2\r\nEUR PUT JUL13\r\n\r\n");
    // The next trading day's file comes first, stored under its own date.
    EXPECT_EQ(ReadFile(home_.Folder().ForwardPointFile(kMonday + kDay)),
              std::string("EUR 11.0\n\0", 10));
    EXPECT_FALSE(std::filesystem::exists(home_.Folder().ForwardPointFile(kMonday)));
    EXPECT_TRUE(Marked(kMonday));
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(downloader_->CurrentTarget(),
              home_.Folder().ForwardPointFile(kMonday + kDay).string());
}

// DB/download.lql is one of the folder's databases: a day run of another program holds the
// folder's lock, and the mark waits for it instead of writing beside it.
TEST_F(DownloaderTest, TheMarkWaitsForTheDayRunThatHoldsTheFolder) {
    Publish(kMonday);
    std::atomic<bool> held{false};
    bool written_while_held = true;
    std::thread run([&] {
        const storage::FolderLock lock(home_.Folder().Db(), [] {});
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        const std::filesystem::path file = storage::DownloadPath(home_.Folder());
        written_while_held = std::filesystem::exists(file) &&
                             storage::GetStageFlag(storage::Database::OpenReadOnly(file),
                                                   DateKey(kMonday), storage::kStageDownload) == 1;
    });
    while (!held) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(downloader_->DownloadDay(kMonday).IsDone());
    run.join();
    EXPECT_FALSE(written_while_held);
    EXPECT_TRUE(Marked(kMonday));
}

TEST_F(DownloaderTest, NonTradingAndMarkedDaysNeedNoRequest) {
    for (const common::Date day : {MakeDate(2012, 12, 1), MakeDate(2012, 12, 2),
                                   MakeDate(2012, 12, 25), MakeDate(2040, 12, 25)}) {
        EXPECT_EQ(downloader_->DownloadDay(day).Flag(), 1);
        EXPECT_FALSE(Marked(day));
    }
    storage::MarkStage(downloader_->DownloadDatabase(), DateKey(kMonday), storage::kStageDownload);
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_TRUE(tree_.Server().Requests().empty());
}

TEST_F(DownloaderTest, DaysPast2038Download) {
    const common::Date day = MakeDate(2040, 3, 6);  // a Tuesday
    Publish(day);
    EXPECT_EQ(downloader_->DownloadDay(day).Flag(), 1);
    EXPECT_TRUE(std::filesystem::exists(home_.Path() / "INPUT" / "CUR_20400306.TXT"));
    EXPECT_TRUE(Marked(day));
}

TEST_F(DownloaderTest, ListedNameAnsweredWithTheErrorPageStoresNothing) {
    // The listing holds the name (as part of another file's), the file itself is missing.
    tree_.PutReport("CUR_20121203.TXT.old", "x");
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday), "EUR 1\n");
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(ReportPath(kMonday)));
    EXPECT_FALSE(Marked(kMonday));
}

TEST_F(DownloaderTest, EmptyBodyFails) {
    tree_.PutReport(ReportFileName(kMonday, ReportKind::kCur), "");
    EXPECT_EQ(downloader_->DownloadReport(kMonday, ReportKind::kCur).Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(ReportPath(kMonday)));
}

TEST_F(DownloaderTest, UnpublishedDayIsNotFetched) {
    EXPECT_EQ(downloader_->DownloadReport(kMonday, ReportKind::kCur).Flag(), 0);
    const auto requests = tree_.Server().Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests.front(), "/toster/");
}

TEST_F(DownloaderTest, OtherKindsAreNamedByTheirPrefix) {
    tree_.PutReport("OIL_20121203.TXT", "oil\n");
    EXPECT_EQ(downloader_->DownloadReport(kMonday, ReportKind::kOil).Flag(), 1);
    EXPECT_EQ(ReadFile(home_.Path() / "INPUT" / "OIL_20121203.TXT"), "oil\r\n\r\n");
}

// Each fault of the server leaves the day undone with no file under the report's name, and
// the next attempt succeeds once the server behaves.
struct DayFault {
    const char* name;
    void (*apply)(tools::ServerFaults&);
};

class DayFaultTest : public DownloaderTest, public testing::WithParamInterface<DayFault> {};

TEST_P(DayFaultTest, NextAttemptSucceeds) {
    Publish(kMonday, std::string(50'000, 'r') + "\n");
    tools::ServerFaults faults;
    GetParam().apply(faults);
    tree_.Server().SetFaults(faults);
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(ReportPath(kMonday)));
    EXPECT_FALSE(Marked(kMonday));
    EXPECT_TRUE(Leftovers().empty());

    tree_.Server().SetFaults({});
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_TRUE(Marked(kMonday));
    EXPECT_EQ(ReadFile(ReportPath(kMonday)).size(), 50'000u + 2 + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DayFaultTest,
    testing::Values(
        DayFault{"dropped", [](tools::ServerFaults& f) { f.drop_body_on = "CUR_"; }},
        DayFault{"silent", [](tools::ServerFaults& f) { f.silent_on = "CUR_"; }},
        DayFault{"crawling",
                 [](tools::ServerFaults& f) {
                     f.drip_on = "CUR_";
                     f.drip_bytes_per_second = 2;
                 }},
        DayFault{"silent_listing", [](tools::ServerFaults& f) { f.silent_on = "/toster/"; }},
        DayFault{"error", [](tools::ServerFaults& f) { f.error_on = "CUR_"; }},
        DayFault{"error_listing", [](tools::ServerFaults& f) { f.error_on = "/toster/"; }},
        DayFault{"held_back", [](tools::ServerFaults& f) { f.held_back = {"20121203"}; }}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DownloaderTest, ForwardPointsMissingKeepsTheReportButNotTheMark) {
    tree_.PutReport(ReportFileName(kMonday, ReportKind::kCur), "report\n");
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 0);
    EXPECT_TRUE(std::filesystem::exists(ReportPath(kMonday)));
    EXPECT_FALSE(Marked(kMonday));
    // The next run fetches the report again along with the forward points.
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday), "EUR 1\n");
    tree_.Server().ClearRequests();
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    const auto requests = tree_.Server().Requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), "/toster/CUR_20121203.TXT"),
              requests.end());
}

struct CandidateCase {
    const char* name;
    common::Date day;
    std::vector<common::Date> on_server;
    common::Date stored;  // 0: nothing stored
};

class ForwardPointCandidateTest : public DownloaderTest,
                                  public testing::WithParamInterface<CandidateCase> {};

TEST_P(ForwardPointCandidateTest, StoresTheFirstCandidateFound) {
    for (const common::Date day : GetParam().on_server) {
        tree_.PutForwardPoints(ForwardPointRemoteName(day), "EUR " + DateKey(day) + "\n");
    }
    const int result = downloader_->DownloadForwardPoints(GetParam().day).Flag();
    std::vector<std::string> stored;
    for (const auto& entry : std::filesystem::directory_iterator(home_.Path() / "INPUT")) {
        stored.push_back(entry.path().filename().string());
    }
    if (GetParam().stored == 0) {
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(stored.empty());
    } else {
        EXPECT_EQ(result, 1);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored.front(), "FP_" + DateKey(GetParam().stored) + ".TXT");
        EXPECT_EQ(ReadFile(home_.Folder().ForwardPointFile(GetParam().stored)),
                  "EUR " + DateKey(GetParam().stored) + "\n" + std::string(1, '\0'));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForwardPointCandidateTest,
    testing::Values(
        // Friday: the Monday after comes first.
        CandidateCase{"friday_monday", kFriday, {kFriday, kMonday}, kMonday},
        CandidateCase{"friday_own", kFriday, {kFriday}, kFriday},
        CandidateCase{"two_days_before", kMonday, {kMonday - 2 * kDay}, kMonday - 2 * kDay},
        CandidateCase{"three_days_before", kMonday, {kMonday - 3 * kDay}, 0},
        CandidateCase{"none", kMonday, {}, 0},
        // Friday 15 February 2013, before Presidents' Day on Monday 18th: Tuesday is next.
        CandidateCase{"holiday_monday",
                      MakeDate(2013, 2, 15),
                      {MakeDate(2013, 2, 18), MakeDate(2013, 2, 19)},
                      MakeDate(2013, 2, 19)},
        CandidateCase{"holiday_monday_only", MakeDate(2013, 2, 15), {MakeDate(2013, 2, 18)}, 0}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DownloaderTest, ForwardPointFetchFailureEndsTheCandidatesAtOnce) {
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday), "EUR 1\n");
    tools::ServerFaults faults;
    faults.drop_body_on = ForwardPointRemoteName(kMonday + kDay);
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday + kDay), std::string(3000, 'x'));
    tree_.Server().SetFaults(faults);
    EXPECT_EQ(downloader_->DownloadForwardPoints(kMonday).Flag(), 0);
    EXPECT_EQ(tree_.Server().Requests().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(home_.Folder().ForwardPointFile(kMonday)));
}

TEST_F(DownloaderTest, RangeRunStoresListedDaysIntoInputAndOutput) {
    const common::Date t = MakeDate(2012, 12, 3, 12, 0);
    for (const common::Date day :
         {MakeDate(2012, 11, 2), MakeDate(2012, 11, 3), MakeDate(2012, 11, 20),
          MakeDate(2012, 12, 6), MakeDate(2012, 12, 7)}) {
        tree_.PutForwardPoints(ForwardPointRemoteName(day), "EUR " + DateKey(day) + "\n");
    }
    EXPECT_EQ(downloader_->DownloadForwardPointRange(t).Flag(), 1);
    for (const char* key : {"20121103", "20121120", "20121206"}) {
        const std::string name = std::string("FP_") + key + ".TXT";
        EXPECT_EQ(ReadFile(home_.Path() / "INPUT" / name), std::string("EUR ") + key + "\n" + '\0');
        EXPECT_EQ(ReadFile(home_.Path() / "OUTPUT" / name),
                  std::string("EUR ") + key + "\n" + '\0');
    }
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121102.TXT"));
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121207.TXT"));
    EXPECT_EQ(tree_.Server().Requests().size(), 1u + 3u);  // the listing and three files
    EXPECT_EQ(plain_.PumpCount(), 34);
}

TEST_F(DownloaderTest, RangeRunEndsAtTheFirstFailedFetch) {
    for (const int d : {5, 6, 7}) {
        tree_.PutForwardPoints(ForwardPointRemoteName(MakeDate(2012, 11, d)), "EUR 1\n");
    }
    tools::ServerFaults faults;
    faults.drop_body_on = "20121106";
    tree_.Server().SetFaults(faults);
    EXPECT_EQ(downloader_->DownloadForwardPointRange(MakeDate(2012, 12, 3, 12, 0)).Flag(), 0);
    EXPECT_TRUE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121105.TXT"));
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121106.TXT"));
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121107.TXT"));
}

TEST_F(DownloaderTest, RangeRunWithoutATimeFetchesNothing) {
    tree_.PutForwardPoints("19691231.txt", "EUR\n");
    EXPECT_EQ(downloader_->DownloadForwardPointRange(-1).Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_19691231.TXT"));
}

// A forward-point answer that holds nothing counts as a missing file: the next candidate is
// tried and stored under its own name, and the day is marked.
struct HollowAnswer {
    const char* name;
    bool empty;           // the server answers 200 with no body
    std::string content;  // else this is the file
};

class HollowForwardPointTest : public DownloaderTest,
                               public testing::WithParamInterface<HollowAnswer> {
protected:
    void ServeHollow(common::Date day) {
        const std::string remote = ForwardPointRemoteName(day);
        if (GetParam().empty) {
            tools::ServerFaults faults;
            faults.empty_on = remote;
            tree_.Server().SetFaults(faults);
        }
        tree_.PutForwardPoints(remote, GetParam().content);
    }
};

TEST_P(HollowForwardPointTest, NextCandidateIsStoredAndTheDayMarked) {
    Publish(kMonday);  // with the Monday's own file
    ServeHollow(kMonday + kDay);
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_TRUE(Marked(kMonday));
    EXPECT_EQ(ReadFile(home_.Folder().ForwardPointFile(kMonday)),
              std::string("EUR 10.5\nGBP 3.2\n") + '\0');
    EXPECT_FALSE(std::filesystem::exists(home_.Folder().ForwardPointFile(kMonday + kDay)));
}

TEST_P(HollowForwardPointTest, RangeRunSkipsItAndGoesOn) {
    for (const int d : {5, 6, 7}) {
        tree_.PutForwardPoints(ForwardPointRemoteName(MakeDate(2012, 11, d)), "EUR 1\n");
    }
    ServeHollow(MakeDate(2012, 11, 6));
    EXPECT_EQ(downloader_->DownloadForwardPointRange(MakeDate(2012, 12, 3, 12, 0)).Flag(), 1);
    EXPECT_TRUE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121105.TXT"));
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121106.TXT"));
    EXPECT_TRUE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121107.TXT"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HollowForwardPointTest,
    testing::Values(HollowAnswer{"empty", true, "EUR 2\n"},
                    HollowAnswer{"no_number", false, "<html><body>Sign in</body></html>\n"},
                    HollowAnswer{"symbols_only", false, "EUR\nGBP n/a\n"},
                    // Stored cut, or read as 0 without a word.
                    HollowAnswer{"longer_than_4000_bytes", false,
                                 "EUR 1.5\n" + std::string(4992, 'f')},
                    HollowAnswer{"absurd_number", false, "EUR:" + std::string(400, '9') + "\n"},
                    HollowAnswer{"out_of_range", false, "GBP 1.2\nEUR 1e400\n"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

// Answers to the report request that are no report: nothing is stored or marked, the failure
// names the URL, and the next attempt succeeds once the real report comes.
const std::string kRealReport =
    "EXCHANGE DAILY BULLETIN\r\nEUR EURO FX CALL\r\n"
    "JUN13-AM  EURO FX   20130607\r\n"
    "1.2950    0.0123    0.520     10        1500      30\r\n" +
    std::string(61, '=') + "\r\n";

struct NoReport {
    const char* name;
    void (*serve)(test::ServedTree&, const std::string& name);
};

class NoReportTest : public DownloaderTest, public testing::WithParamInterface<NoReport> {
protected:
    NoReportTest() {
        check_reports_ = true;
        Rebuild();
    }
};

TEST_P(NoReportTest, NothingIsStoredAndTheRetrySucceeds) {
    const std::string name = ReportFileName(kMonday, ReportKind::kCur);
    Publish(kMonday, kRealReport);
    GetParam().serve(tree_, name);
    const common::Outcome failed = downloader_->DownloadDay(kMonday);
    EXPECT_EQ(failed.Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(ReportPath(kMonday)));
    EXPECT_FALSE(Marked(kMonday));
    EXPECT_NE(failed.Reason().find(tree_.Host() + "/toster/" + name), std::string::npos)
        << failed.Reason();

    tree_.Server().SetFaults({});
    Publish(kMonday, kRealReport);
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_TRUE(Marked(kMonday));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NoReportTest,
    testing::Values(NoReport{"error_text_200",
                             [](test::ServedTree& tree, const std::string& name) {
                                 tools::ServerFaults faults;
                                 faults.error_on = name;
                                 faults.error_status = 200;
                                 tree.Server().SetFaults(faults);
                             }},
                    NoReport{"login_page",
                             [](test::ServedTree& tree, const std::string& name) {
                                 tree.PutReport(
                                     name,
                                     "<html><head><title>Hotel EURO Wi-Fi</title></head>\n"
                                     "<body><form>Room number <input name=room></form></body>"
                                     "</html>\n");
                             }},
                    NoReport{"cut_short_without_length",
                             [](test::ServedTree& tree, const std::string& name) {
                                 tools::ServerFaults faults;
                                 faults.cut_short_on = name;
                                 faults.cut_short_bytes = {
                                     30};  // inside the first section's header
                                 tree.Server().SetFaults(faults);
                             }}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

// The catch-up, with the clock at Wednesday 2 January 2013, 23:00.
class CatchUpTest : public DownloaderTest {
protected:
    common::Date now_ = MakeDate(2013, 1, 2, 23, 0);

    void PublishRangeExcept(std::vector<common::Date> missing) {
        for (common::Date day = now_ - 30 * kDay; day <= now_ + kDay; day += kDay) {
            const common::Date midnight = common::DayStart(day);
            if (std::find(missing.begin(), missing.end(), midnight) == missing.end()) {
                Publish(midnight);
            }
        }
    }
    int MarkedCount() {
        int count = 0;
        for (common::Date day = now_ - 30 * kDay; day < now_; day += kDay) {
            count += Marked(day) ? 1 : 0;
        }
        return count;
    }
};

TEST_F(CatchUpTest, EveryPublishedDayIsDownloadedUnderTheLock) {
    PublishRangeExcept({});
    EXPECT_EQ(downloader_->DownloadPreviousDays(now_).Flag(), 1);
    // Trading days from 3 December 2012 to 2 January 2013 (Christmas and New Year out).
    EXPECT_EQ(MarkedCount(), 20);
    const auto statuses = notifier_.Statuses();
    ASSERT_EQ(statuses.size(), 30u);
    EXPECT_EQ(statuses.front(),
              "Loading data for 03.12.2012. The window is temporarily locked. Wait when operation "
              "to complete...");
    EXPECT_EQ(plain_.MaxLockDepth(), 1);
    EXPECT_FALSE(plain_.IsLocked());
}

TEST_F(CatchUpTest, MissingDayIsPassedOverAtTheTenthFailure) {
    const common::Date missing = common::DayStart(now_ - 20 * kDay);  // Thursday 13 December
    PublishRangeExcept({missing});
    for (int run = 1; run <= 9; ++run) {
        EXPECT_EQ(downloader_->DownloadPreviousDays(now_).Flag(), 0) << run;
        EXPECT_EQ(downloader_->FailureCounter(), run);
    }
    EXPECT_FALSE(Marked(missing + kDay));
    EXPECT_TRUE(Marked(missing - kDay));
    EXPECT_EQ(downloader_->DownloadPreviousDays(now_).Flag(), 1);
    EXPECT_EQ(downloader_->FailureCounter(), 0);
    EXPECT_FALSE(Marked(missing));
    EXPECT_EQ(MarkedCount(), 19);
}

TEST_F(CatchUpTest, YesterdayIsNeverPassedOver) {
    now_ = MakeDate(2013, 1, 3, 23, 0);  // yesterday is Wednesday 2 January
    const common::Date yesterday = common::DayStart(now_ - kDay);
    PublishRangeExcept({yesterday});
    for (int run = 1; run <= 12; ++run) {
        EXPECT_EQ(downloader_->DownloadPreviousDays(now_).Flag(), 0) << run;
    }
    EXPECT_EQ(downloader_->FailureCounter(), 12);
    EXPECT_EQ(MarkedCount(), 19);
}

TEST_F(CatchUpTest, EmptyForwardPointAnswerDoesNotStopIt) {
    PublishRangeExcept({});
    tools::ServerFaults faults;
    faults.empty_on = "/fp/20121213.txt";  // the next trading day of Wednesday 12 December
    tree_.Server().SetFaults(faults);
    EXPECT_EQ(downloader_->DownloadPreviousDays(now_).Flag(), 1);
    EXPECT_EQ(MarkedCount(), 20);
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "INPUT" / "FP_20121213.TXT"));
}

TEST_F(CatchUpTest, CurrentDaySendsItsStatusUnderTheLock) {
    Publish(common::DayStart(now_));
    EXPECT_EQ(downloader_->DownloadCurrentDay(now_).Flag(), 1);
    EXPECT_TRUE(Marked(now_));
    ASSERT_EQ(notifier_.Statuses().size(), 1u);
    EXPECT_EQ(notifier_.Statuses().front().rfind("Loading data for 02.01.2013. ", 0), 0u);
    EXPECT_FALSE(plain_.IsLocked());
}

}  // namespace
}  // namespace zarvex::acquisition
