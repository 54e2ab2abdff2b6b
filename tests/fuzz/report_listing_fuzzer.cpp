// The downloads' reading of the server's listing pages, over any listing. The server behind it
// answers every file at once, so what is asked for and stored follows from the listing alone:
// - the day's report is fetched, once, exactly when the listing holds its name as the program
//   spells it ("CUR_20121203.TXT", case and all), and stored exactly then;
// - the forward-point range run fetches, once each and in day order, exactly the files of the
//   34 days around the time whose names ("20121203.txt") the listing holds, and leaves each in
//   INPUT/ and in OUTPUT/ with its trailing zero byte; nothing else is fetched or stored.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "acquisition/downloader.h"
#include "acquisition/http_transport.h"
#include "common/date.h"
#include "common/program_folder.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "fuzz/fuzz_check.h"
#include "import/parse_report.h"

namespace {

namespace acquisition = zarvex::acquisition;
namespace common = zarvex::common;

constexpr std::string_view kHost = "127.0.0.1:9";
const std::string kReport =
    "EUR  EURO FX OPTIONS ON FUTURES        CALL\r\n"
    "  DEC12-AM  EURO FX                EXPIRES 20121207\r\n"
    "1.2950      0.0123     0.520        10      1500        30   +\r\n";
const std::string kForwardPoints = "EUR 8.95\nGBP -3.97\n";

// Serves the fuzzed listing for every folder and a good file for every name it is asked for.
class ListingTransport final : public acquisition::HttpTransport {
public:
    std::string listing;
    std::vector<std::string> fetched;  // paths of the files asked for, in order

private:
    std::string DoFetchText(std::string_view, acquisition::Deadline, std::string*) override {
        return listing;
    }

    acquisition::FetchResult DoFetchToBuffer(std::string_view url, std::string& buffer,
                                             std::size_t capacity, acquisition::Deadline) override {
        const std::string path(url.substr(url.find('/', std::string_view("http://").size())));
        fetched.push_back(path);
        const std::string& body = path.rfind("/toster/", 0) == 0 ? kReport : kForwardPoints;
        FUZZ_CHECK(body.size() <= capacity);
        buffer = body + '\0';
        acquisition::FetchResult result;
        result.count = static_cast<std::int64_t>(body.size());
        result.length_proven = true;
        return result;
    }
};

struct Fixture {
    zarvex::fuzz::ScratchFolder scratch;
    common::ProgramFolder folder{scratch.Path()};
    ListingTransport transport;
    common::SystemClock clock;
    std::unique_ptr<acquisition::Downloader> downloader;

    Fixture() {
        for (const char* name : {"INPUT", "OUTPUT", "DB"}) {
            std::filesystem::create_directories(scratch.Path() / name);
        }
        acquisition::DownloaderSetup setup;
        setup.folder = folder;
        setup.transport = &transport;
        setup.report_host = std::string(kHost);
        setup.clock = &clock;
        setup.pause = std::chrono::milliseconds(0);
        setup.is_report = [](std::string_view body) {
            return zarvex::import::HoldsOptionSection(body, common::kSymbols);
        };
        downloader = std::make_unique<acquisition::Downloader>(std::move(setup));
    }

    std::set<std::string> Files(const char* sub) const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Path() / sub)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    void Empty(const char* sub) const {
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Path() / sub)) {
            std::filesystem::remove(entry.path());
        }
    }
};

bool Holds(std::string_view listing, std::string_view name) {
    return listing.find(name) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    fixture.Empty("INPUT");
    fixture.Empty("OUTPUT");
    fixture.transport.listing = std::string(zarvex::fuzz::AsText(data, size));
    const std::string& listing = fixture.transport.listing;

    // The day's report.
    const common::Date monday = common::MakeDate(2012, 12, 3);
    const std::string report = "CUR_20121203.TXT";
    fixture.transport.fetched.clear();
    const int stored =
        fixture.downloader->DownloadReport(monday, acquisition::ReportKind::kCur).Flag();
    const bool named = Holds(listing, report);
    FUZZ_CHECK(stored == (named ? 1 : 0));
    FUZZ_CHECK(fixture.transport.fetched == (named ? std::vector<std::string>{"/toster/" + report}
                                                   : std::vector<std::string>{}));
    FUZZ_CHECK(fixture.Files("INPUT") ==
               (named ? std::set<std::string>{report} : std::set<std::string>{}));
    fixture.Empty("INPUT");

    // The forward-point range around Monday noon: 3 November to 6 December 2012.
    fixture.transport.fetched.clear();
    // What it stored is checked below, whatever the run came to.
    static_cast<void>(
        fixture.downloader->DownloadForwardPointRange(common::MakeDate(2012, 12, 3, 12, 0), false));
    std::vector<std::string> expected_paths;
    std::set<std::string> expected_files;
    for (common::Date day = common::MakeDate(2012, 11, 3); day <= common::MakeDate(2012, 12, 6);
         day += common::kSecondsPerDay) {
        const std::string key = common::DateKey(day);
        if (Holds(listing, key + ".txt")) {
            expected_paths.push_back("/fp/" + key + ".txt");
            expected_files.insert("FP_" + key + ".TXT");
        }
    }
    FUZZ_CHECK(fixture.transport.fetched == expected_paths);
    FUZZ_CHECK(fixture.Files("INPUT") == expected_files);
    FUZZ_CHECK(fixture.Files("OUTPUT") == expected_files);
    for (const std::string& name : expected_files) {
        std::ifstream in(fixture.scratch.Path() / "INPUT" / name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        FUZZ_CHECK(bytes == kForwardPoints + '\0');
    }
    return 0;
}
