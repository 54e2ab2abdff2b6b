// A day is stored only when what came is whole, and a crawling server cannot hold a day for
// good: cut bodies, oversize answers and slow transfers against the stand-in server.
#include <gtest/gtest.h>

#include <limits>

#include "acquisition/curl_transport.h"
#include "acquisition/downloader.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "import/parse_report.h"
#include "reportgen/day_files.h"
#include "server_fixture.h"
#include "storage/stage_flags.h"

namespace zarvex::acquisition {
namespace {

using test::ReadFile;

const common::Date kMonday = common::MakeDate(2012, 12, 3);
constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

class WholeAnswerTest : public testing::Test {
protected:
    WholeAnswerTest() {
        reportgen::GeneratorOptions options;
        options.strikes = 5;
        day_ = reportgen::ReportGenerator(options).Generate(kMonday);
        std::string error;
        if (!reportgen::WriteServerDay(day_, tree_.Root(), &error)) {
            throw std::runtime_error(error);
        }
        Rebuild(test::QuickTimeouts());
    }

    void Rebuild(NetworkTimeouts timeouts) {
        transport_ = std::make_unique<CurlTransport>(timeouts);
        DownloaderSetup setup;
        setup.folder = home_.Folder();
        setup.transport = transport_.get();
        setup.report_host = tree_.Host();
        setup.clock = &clock_;
        setup.host = plain_.AsHost();
        setup.pause = std::chrono::milliseconds(0);
        setup.day_limit = day_limit_;
        setup.report_capacity = report_capacity_;
        setup.is_report = [](std::string_view body) {
            return import::HoldsOptionSection(body, common::kSymbols);
        };
        downloader_ = std::make_unique<Downloader>(std::move(setup));
    }

    bool Marked() {
        return storage::GetStageFlag(downloader_->DownloadDatabase(), common::DateKey(kMonday),
                                     storage::kStageDownload) == 1;
    }
    std::filesystem::path ReportPath() { return home_.Folder().ReportFile(kMonday); }
    std::size_t ReportRequests() {
        std::size_t count = 0;
        for (const std::string& path : tree_.Server().Requests()) {
            count += path == "/toster/" + ReportFileName(kMonday, ReportKind::kCur) ? 1 : 0;
        }
        return count;
    }
    // The stored report yields every row of every currency that the generator wrote.
    void ExpectEveryRow() {
        for (const std::string_view symbol : common::kSymbols) {
            std::size_t rows = 0;
            const auto summary = import::ParseReportFile(
                ReportPath(), symbol, "03.12.2012", [&rows](const import::ReportRow&) { ++rows; });
            ASSERT_TRUE(summary.has_value());
            EXPECT_EQ(rows, day_.rows.at(std::string(symbol)).size()) << symbol;
        }
    }

    std::chrono::milliseconds day_limit_{300'000};
    std::size_t report_capacity_ = kReportCapacity;
    reportgen::GeneratedDay day_;
    test::TempProgramFolder home_;
    test::ServedTree tree_;
    common::SystemClock clock_;
    common::PlainHost plain_;
    std::unique_ptr<CurlTransport> transport_;
    std::unique_ptr<Downloader> downloader_;
};

// Where a body is cut, found in the report as served.
std::size_t AfterTheFirstLine(const std::string& report) {
    return report.find('\n') + 1;
}
std::size_t AtALineEndHalfWay(const std::string& report) {
    return report.find('\n', report.size() / 2) + 1;
}
// Inside a strike line of the last section of the six currencies.
std::size_t MidRowInTheLastSection(const std::string& report) {
    std::size_t header = 0;
    for (const std::string_view symbol : common::kSymbols) {
        header = std::max(header, report.rfind(std::string(symbol) + "  "));
    }
    std::size_t at = header;
    for (int line = 0; line < 4; ++line) {  // header, column titles, contract, first strike
        at = report.find('\n', at) + 1;
    }
    return at + 20;
}
std::size_t OneByteShort(const std::string& report) {
    return report.size() - 1;
}

struct TransferCase {
    const char* name;
    bool chunked;
    // Bytes sent for each request in turn, found in the report; empty: never cut.
    std::vector<std::size_t (*)(const std::string&)> cuts;
    bool whole;  // none of the cuts leaves a body that could pass
    std::size_t fetches;
};

class CutReportTest : public WholeAnswerTest, public testing::WithParamInterface<TransferCase> {};

TEST_P(CutReportTest, OnlyAWholeReportIsStoredAndMarked) {
    const TransferCase& one = GetParam();
    const std::string& report = day_.raw_report;
    tools::ServerFaults faults;
    if (one.chunked) {
        faults.chunked_on = "CUR_";
    }
    if (!one.cuts.empty()) {
        faults.cut_short_on = "CUR_";
        faults.cut_short_bytes.clear();
        for (const auto cut : one.cuts) {
            faults.cut_short_bytes.push_back(cut != nullptr ? cut(report) : kWhole);
        }
    }
    tree_.Server().SetFaults(faults);
    const common::Outcome first = downloader_->DownloadDay(kMonday);
    EXPECT_EQ(first.Flag(), one.whole ? 1 : 0);
    EXPECT_EQ(ReportRequests(), one.fetches);  // a second fetch only when it can settle it
    EXPECT_EQ(Marked(), one.whole);
    if (!one.whole) {
        EXPECT_FALSE(std::filesystem::exists(ReportPath()));
        EXPECT_NE(first.Reason().find("CUR_20121203.TXT"), std::string::npos) << first.Reason();
        // A later attempt against an honest server stores the day.
        tree_.Server().SetFaults({});
        ASSERT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
        EXPECT_TRUE(Marked());
    }
    ExpectEveryRow();
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, CutReportTest,
    testing::Values(
        // Length unproven but the same twice: stored after the second fetch.
        TransferCase{"close_delimited_whole", false, {nullptr}, true, 2},
        // Chunks prove the length: one fetch.
        TransferCase{"chunked_whole", true, {}, true, 1},
        TransferCase{"chunked_without_its_closing_chunk", true, {MidRowInTheLastSection}, false, 1},
        TransferCase{"cut_after_the_first_line", false, {AfterTheFirstLine, nullptr}, false, 2},
        TransferCase{"cut_at_a_line_end", false, {AtALineEndHalfWay, nullptr}, false, 2},
        TransferCase{"cut_at_a_line_end_then_elsewhere",
                     false,
                     {AtALineEndHalfWay, MidRowInTheLastSection},
                     false,
                     2},
        // Inside a line, however often it comes so: refused without a second fetch.
        TransferCase{"cut_mid_row_in_the_last_section", false, {MidRowInTheLastSection}, false, 1},
        TransferCase{"whole_then_cut", false, {nullptr, OneByteShort}, false, 2}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(WholeAnswerTest, ReportBeyondFourMegabytesIsStoredWhole) {
    // Another product's 5 MB before the currencies.
    tools::ServerFaults faults;
    faults.oversize_on = "CUR_";
    faults.oversize_bytes = 5'000'000;
    tree_.Server().SetFaults(faults);
    ASSERT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_GT(std::filesystem::file_size(ReportPath()), 5'000'000u);
    ExpectEveryRow();
}

TEST_F(WholeAnswerTest, AnswerBeyondTheLimitIsRefusedNotCut) {
    report_capacity_ = 1'000'000;
    Rebuild(test::QuickTimeouts());
    tools::ServerFaults faults;
    faults.oversize_on = "CUR_";
    faults.oversize_bytes = 1'500'000;
    tree_.Server().SetFaults(faults);
    const common::Outcome refused = downloader_->DownloadDay(kMonday);
    EXPECT_EQ(refused.Flag(), 0);
    EXPECT_FALSE(std::filesystem::exists(ReportPath()));
    EXPECT_FALSE(Marked());
    EXPECT_NE(refused.Reason().find("longer than 1000000 bytes"), std::string::npos)
        << refused.Reason();
}

// A server that sends every byte, only slowly: the day's bound ends the day wherever it
// crawls, and the next attempt against a quick server stores it.
struct CrawlCase {
    const char* name;
    const char* drip_on;
};

class DayBoundTest : public WholeAnswerTest, public testing::WithParamInterface<CrawlCase> {};

TEST_P(DayBoundTest, CrawlingServerFailsTheDayWithinItsBound) {
    day_limit_ = std::chrono::milliseconds(1500);
    NetworkTimeouts timeouts = test::QuickTimeouts();
    timeouts.low_speed = 100;  // the drip below stays above it: only the bound can end it
    timeouts.total = std::chrono::milliseconds(120'000);
    Rebuild(timeouts);
    // Enough bytes everywhere for several seconds at the drip's pace.
    for (int i = 0; i < 30; ++i) {
        tree_.PutReport("OIL_2012110" + std::to_string(i % 10) + "_" + std::to_string(i) + ".TXT",
                        "");
    }
    tree_.PutForwardPoints(ForwardPointRemoteName(kMonday + common::kSecondsPerDay),
                           day_.raw_forward_points + std::string(2000, ' ') + "\n");
    tools::ServerFaults faults;
    faults.drip_on = GetParam().drip_on;
    faults.drip_bytes_per_second = 400;
    tree_.Server().SetFaults(faults);

    const common::Outcome crawled = downloader_->DownloadDay(kMonday);
    EXPECT_EQ(crawled.Flag(), 0);
    EXPECT_FALSE(Marked());
    EXPECT_NE(crawled.Reason().find("limit of 1500 ms"), std::string::npos) << crawled.Reason();

    tree_.Server().SetFaults({});
    EXPECT_EQ(downloader_->DownloadDay(kMonday).Flag(), 1);
    EXPECT_TRUE(Marked());
}

INSTANTIATE_TEST_SUITE_P(Crawls, DayBoundTest,
                         testing::Values(CrawlCase{"listing", "/toster/"},
                                         CrawlCase{"report", "CUR_"},
                                         CrawlCase{"forward_points", "/fp/"}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace zarvex::acquisition
