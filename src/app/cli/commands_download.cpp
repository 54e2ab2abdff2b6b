#include <chrono>
#include <filesystem>
#include <ostream>
#include <stdexcept>

#include "acquisition/curl_transport.h"
#include "acquisition/data_source.h"
#include "acquisition/downloader.h"
#include "acquisition/endpoints.h"
#include "acquisition/host_address.h"
#include "acquisition/network_clock.h"
#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/outcome.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "common/text.h"
#include "common/text_table.h"
#include "import/parse_report.h"

namespace zarvex::cli {

namespace {

constexpr const char* kTimeMask = "%yyyy%mm%dd %hh:%ii:%ss";

void CheckHost(const Context& ctx) {
    if (ctx.host.empty()) {
        // A saved line that could not be used is what the user must hear of, not "none".
        const std::filesystem::path file = acquisition::DataSourcePath();
        const auto faults = acquisition::ReportHostFaults(acquisition::ReadDataSourceFile(file));
        if (!faults.empty()) {
            std::string text = "the saved data source cannot be used: ";
            for (std::size_t i = 0; i < faults.size(); ++i) {
                text += (i == 0 ? "" : "; ") +
                        acquisition::FaultText(file, faults[i], common::TextTable::English());
            }
            throw std::runtime_error(text);
        }
        // Not bad usage: the command is right, the program has nowhere to download from.
        throw std::runtime_error(
            "no report server is set: give --host HOST[:PORT], set ZARVEX_REPORT_HOST, or "
            "choose one in the window's \"Data source\" dialog (zarvex-cli demo makes demo "
            "data without one)");
    }
    if (const auto fault = acquisition::HostFaultOf(ctx.host);
        fault != acquisition::HostFault::kNone) {
        throw UsageError(
            "--host must be HOST[:PORT] or https://HOST[:PORT]: " + common::Capped(ctx.host) +
            ": " + acquisition::HostFaultText(fault, common::TextTable::English()));
    }
}

common::Date RequiredTime(const Arguments& args, const std::string& name) {
    const std::string text = args.Required(name);
    const common::Date time = common::ParseDate(text, kTimeMask);
    if (time == common::kInvalidDate) {
        throw UsageError("--" + name +
                         " must be a time \"YYYYMMDD hh:mm:ss\": " + common::Capped(text));
    }
    return time;
}

// The scheduler's notifications as the command line shows them: status texts on stderr.
class StreamNotifier final : public common::Notifier {
public:
    explicit StreamNotifier(std::ostream& err) : err_(err) {}
    void NotifyStatus(std::string_view text) override { err_ << text << '\n' << std::flush; }
    void NotifyHistograms(int) override {}
    void NotifyDownloaded(common::DownloadedDays) override {}

private:
    std::ostream& err_;
};

// Everything a download command needs, built from the context.
class DownloadRun {
public:
    DownloadRun(const Context& ctx, std::chrono::milliseconds pause)
        : texts_(LanguageOf(ctx)), notifier_(*ctx.err), transport_({}, nullptr, ctx.ca_file) {
        ctx.home.PrepareLayout();
        acquisition::DownloaderSetup setup;
        setup.folder = ctx.home;
        setup.transport = &transport_;
        setup.report_host = ctx.host;
        setup.clock = &clock_;
        setup.host = plain_.AsHost(&texts_);
        setup.notifier = &notifier_;
        setup.pause = pause;
        setup.is_report = [](std::string_view body) {
            return import::HoldsOptionSection(body, common::kSymbols);
        };
        downloader_ = std::make_unique<acquisition::Downloader>(std::move(setup));
    }
    acquisition::Downloader& Downloads() { return *downloader_; }

private:
    common::TextTable texts_;
    common::PlainHost plain_;
    StreamNotifier notifier_;
    common::SystemClock clock_;
    acquisition::CurlTransport transport_;  // before the downloader, which uses it
    std::unique_ptr<acquisition::Downloader> downloader_;
};

std::chrono::milliseconds Pause(const Arguments& args) {
    const auto pause = args.IntInRange("pause-ms", 0, 600'000);
    return std::chrono::milliseconds(pause.value_or(5000));
}

int PrintTime(Context& ctx, common::Date time, const std::string& why) {
    if (time <= 0) {
        *ctx.out << "-1\n";
        *ctx.err << "zarvex-cli: no time could be read from "
                 << common::Capped(acquisition::WithoutCredentials(ctx.host))
                 << (why.empty() ? std::string() : ": " + why) << '\n';
        return kExitFailed;
    }
    *ctx.out << common::FormatDate(time, kTimeMask) << '\n';
    return kExitDone;
}

// The result on stdout; a failure also says on stderr what failed.
int PrintResult(Context& ctx, const common::Outcome& result) {
    *ctx.out << result.Flag() << '\n';
    if (result.IsDone()) {
        return kExitDone;
    }
    *ctx.err << "zarvex-cli: " << result.Reason() << '\n';
    return kExitFailed;
}

}  // namespace

int CmdNetworkTime(Context& ctx, const Words& words) {
    const Arguments args(words, {});
    RefusePositional(args);
    CheckHost(ctx);
    common::SystemClock clock;
    acquisition::CurlTransport transport({}, nullptr, ctx.ca_file);
    acquisition::NetworkClock network(transport, ctx.host, acquisition::TimeHostsFor(ctx.host),
                                      clock);
    std::string why;
    const common::Date time = network.NetworkTime(&why);
    return PrintTime(ctx, time, why);
}

int CmdExchangeTime(Context& ctx, const Words& words) {
    const Arguments args(words, {});
    RefusePositional(args);
    CheckHost(ctx);
    common::SystemClock clock;
    acquisition::CurlTransport transport({}, nullptr, ctx.ca_file);
    acquisition::NetworkClock network(transport, ctx.host, {}, clock);
    std::string why;
    const common::Date time = network.ExchangeTime(&why);
    return PrintTime(ctx, time, why);
}

int CmdForwardPoints(Context& ctx, const Words& words) {
    const Arguments args(words, {"time"});
    RefusePositional(args);
    const common::Date time = RequiredTime(args, "time");
    CheckHost(ctx);
    DownloadRun run(ctx, std::chrono::milliseconds(0));
    if (const common::Outcome range = run.Downloads().DownloadForwardPointRange(time, false);
        !range.IsDone()) {
        *ctx.err << "zarvex-cli: " << range.Reason() << '\n';
        return kExitFailed;
    }
    return kExitDone;
}

int CmdDownloadDay(Context& ctx, const Words& words) {
    const Arguments args(words, {"date", "pause-ms"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    const std::chrono::milliseconds pause = Pause(args);
    CheckHost(ctx);
    DownloadRun run(ctx, pause);
    return PrintResult(ctx, run.Downloads().DownloadDay(date));
}

int CmdDownloadPreviousDays(Context& ctx, const Words& words) {
    const Arguments args(words, {"now", "pause-ms"});
    RefusePositional(args);
    const common::Date now = RequiredTime(args, "now");
    const std::chrono::milliseconds pause = Pause(args);
    CheckHost(ctx);
    DownloadRun run(ctx, pause);
    return PrintResult(ctx, run.Downloads().DownloadPreviousDays(now));
}

}  // namespace zarvex::cli
