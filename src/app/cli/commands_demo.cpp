#include <chrono>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "acquisition/curl_transport.h"
#include "acquisition/downloader.h"
#include "app/cli/arguments.h"
#include "app/cli/child_process.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/calendar.h"
#include "common/demo_folder.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "common/text.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "import/parse_report.h"

namespace zarvex::cli {

namespace {

constexpr int kDefaultDays = 30;
constexpr int kMostDays = 250;
// The stand-in server writes its port within milliseconds; a machine under load may need more.
constexpr auto kServerStartLimit = std::chrono::seconds(20);

std::filesystem::path RequiredHelper(const std::string& name) {
    std::filesystem::path program = FindHelperProgram(name);
    if (program.empty()) {
        throw std::runtime_error(name +
                                 " is not installed (it comes with the zarvex package, or is built "
                                 "beside zarvex-cli as target " +
                                 name + ")");
    }
    return program;
}

// Generated days never mix with real ones: the demo fills only a folder that is empty or its
// own, and says which entry made it refuse.
void RefuseForeignFolder(const std::filesystem::path& folder) {
    if (const std::string why = common::DemoFolderRefusal(folder); !why.empty()) {
        throw std::runtime_error(why);
    }
}

// The demo's unloads stay in its own folder, whatever its settings were made to say (or said
// in the place the folder was moved from).
void KeepOutputInside(day::InstrumentList& instruments, const common::ProgramFolder& folder,
                      std::ostream& err) {
    const std::string own = folder.RootText() + "OUTPUT/";
    for (int i = 0; i < day::InstrumentList::kCount; ++i) {
        settings::SettingsRecord& record = instruments.At(i).Settings();
        if (!record.OutputFolder().empty() &&
            common::LiesIn(record.OutputFolder(), folder.Root())) {
            continue;
        }
        err << record.Symbol() << ": the demo's output folder \"" << record.OutputFolder()
            << "\" lies outside " << folder.Root().string() << "; set back to " << own << '\n';
        record.SetOutputFolder(own);
        if (!record.SaveSettings()) {
            throw std::runtime_error("cannot set the output folder of " + record.Path().string());
        }
    }
}

void PrepareFolder(const std::filesystem::path& folder) {
    std::error_code error;
    for (const char* sub : {"INPUT", "OUTPUT", "DB"}) {
        std::filesystem::create_directories(folder / sub, error);
        if (error) {
            throw std::runtime_error("cannot create " + (folder / sub).string() + ": " +
                                     error.message());
        }
    }
    std::ofstream mark(common::DemoMarker(folder));
    mark << "Generated trading days of the Zarvex demo (zarvex-cli demo).\n";
    if (!mark) {
        throw std::runtime_error("cannot write " + common::DemoMarker(folder).string());
    }
}

// The `count` trading days before today, oldest first.
std::vector<common::Date> TradingDaysBefore(common::Date today, int count) {
    std::vector<common::Date> days;
    for (common::Date day = today - common::kSecondsPerDay;
         static_cast<int>(days.size()) < count && day > 0; day -= common::kSecondsPerDay) {
        if (common::IsTradingDay(day)) {
            days.insert(days.begin(), day);
        }
    }
    return days;
}

std::string ReadWhole(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text;
}

// The server tree of the days, generated once and kept while it holds exactly these days.
void Generate(const std::filesystem::path& server_tree, common::Date first, common::Date last,
              const std::filesystem::path& log) {
    const std::string days = common::DateKey(first) + " " + common::DateKey(last);
    const std::filesystem::path stamp = server_tree / ".days";
    if (ReadWhole(stamp) == days + "\n") {
        return;
    }
    std::error_code error;
    std::filesystem::remove_all(server_tree, error);
    std::filesystem::create_directories(server_tree, error);
    ChildProcess generator(RequiredHelper("zarvex-reportgen"),
                           {"--raw", server_tree.string(), "--from", common::DateKey(first), "--to",
                            common::DateKey(last)},
                           log);
    if (generator.Wait() != 0) {
        throw std::runtime_error("zarvex-reportgen failed (its output: " + log.string() + ")");
    }
    std::ofstream(stamp) << days << '\n';
}

// Waits for the port the server writes once it listens; 0 when it ended or took too long.
int ServerPort(ChildProcess& server, const std::filesystem::path& port_file) {
    const auto until = std::chrono::steady_clock::now() + kServerStartLimit;
    while (std::chrono::steady_clock::now() < until && server.Running()) {
        const std::string text = ReadWhole(port_file);
        if (!text.empty() && text.back() == '\n') {
            const std::string_view digits(text.data(), text.size() - 1);
            return static_cast<int>(common::ParseInt(common::Trim(digits)).value_or(0));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

}  // namespace

int CmdDemo(Context& ctx, const Words& words) {
    const Arguments args(words, {"days"});
    RefusePositional(args);
    const int count = args.IntInRange("days", 1, kMostDays).value_or(kDefaultDays);
    const std::filesystem::path folder = ctx.home_given ? ctx.home.Root() : common::DemoFolder();
    RefuseForeignFolder(folder);
    PrepareFolder(folder);

    const std::vector<common::Date> days = TradingDaysBefore(ctx.today, count);
    if (days.empty()) {
        throw std::runtime_error("no trading days before " + common::DayText(ctx.today));
    }
    const std::filesystem::path server_tree = folder / "server";
    *ctx.err << "Generating " << days.size() << " trading days (" << common::DayText(days.front())
             << " to " << common::DayText(days.back()) << ") ...\n"
             << std::flush;
    Generate(server_tree, days.front(), days.back(), folder / "reportgen.log");

    const std::filesystem::path port_file = folder / "reportserver.port";
    std::error_code error;
    std::filesystem::remove(port_file, error);
    // The server's clock stands at noon Greenwich of today, so the exchange's today is today.
    ChildProcess server(RequiredHelper("zarvex-reportserver"),
                        {"--root", server_tree.string(), "--port", "0", "--port-file",
                         port_file.string(), "--time", common::DateKey(ctx.today) + " 12:00:00"},
                        folder / "reportserver.log");
    const int port = ServerPort(server, port_file);
    if (port <= 0) {
        throw std::runtime_error("the stand-in report server did not start (its output: " +
                                 (folder / "reportserver.log").string() + ")");
    }
    const std::string host = "127.0.0.1:" + std::to_string(port);
    *ctx.err << "Stand-in report server on " << host << '\n' << std::flush;

    const common::ProgramFolder program_folder(folder);
    const common::TextTable texts(LanguageOf(ctx));
    common::PlainHost quiet;
    common::SystemClock clock;
    acquisition::CurlTransport transport;
    acquisition::DownloaderSetup setup;
    setup.folder = program_folder;
    setup.transport = &transport;
    setup.report_host = host;
    setup.clock = &clock;
    setup.host = quiet.AsHost(&texts);
    setup.pause = std::chrono::milliseconds(0);
    setup.is_report = [](std::string_view body) {
        return import::HoldsOptionSection(body, common::kSymbols);
    };
    acquisition::Downloader downloads(std::move(setup));
    day::InstrumentList instruments(program_folder, quiet.AsHost(&texts));
    KeepOutputInside(instruments, program_folder, *ctx.err);
    const int total = static_cast<int>(days.size());
    for (int k = 0; k < total; ++k) {
        const common::Date day = days[static_cast<std::size_t>(k)];
        *ctx.err << "Day " << k + 1 << " of " << total << " (" << common::DayText(day)
                 << "): downloading, processing\n"
                 << std::flush;
        if (const common::Outcome loaded = downloads.DownloadDay(day); !loaded.IsDone()) {
            throw std::runtime_error("the download of " + common::DayText(day) +
                                     " failed: " + loaded.Reason());
        }
        if (const common::Outcome run = instruments.RunCurrentDay(day); !run.IsDone()) {
            throw std::runtime_error("the processing of " + common::DayText(day) +
                                     " failed: " + run.Reason());
        }
    }
    server.Stop();
    *ctx.out << folder.string() << '\n';
    *ctx.err << "Demo data is ready. Open it with: ZARVEX_HOME=" << folder.string() << " zarvex\n";
    return kExitDone;
}

}  // namespace zarvex::cli
