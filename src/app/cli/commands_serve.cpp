#include <signal.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "app/cli/api_server.h"
#include "app/cli/api_token.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/config_folder.h"

namespace zarvex::cli {

namespace {

constexpr int kDefaultPort = 8617;

// SIGTERM and SIGINT held back from every thread from here on (the server's threads inherit
// the mask), so that the main thread alone takes them, by sigtimedwait.
class HeldSignals final {
public:
    HeldSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGINT);
        pthread_sigmask(SIG_BLOCK, &set_, &previous_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    // Waits for one of them; returns its number.
    int Wait() const {
        for (;;) {
            const int signal = sigwaitinfo(&set_, nullptr);
            if (signal > 0) {
                return signal;
            }
            if (errno != EINTR) {
                return 0;
            }
        }
    }

private:
    sigset_t set_{};
    sigset_t previous_{};
};

}  // namespace

// The local read-only API over the program folder, until SIGTERM or SIGINT.
int CmdServe(Context& ctx, const Words& words) {
    const Arguments args(words, {"port", "bind"}, {"show-token"});
    RefusePositional(args);
    ApiServerOptions options;
    options.port =
        static_cast<std::uint16_t>(args.IntInRange("port", 1, 65535).value_or(kDefaultPort));
    if (const auto bind = args.Get("bind")) {
        if (!IsLoopbackAddress(*bind)) {
            throw UsageError(
                "--bind must be 127.0.0.1 or ::1 (the API answers this computer "
                "only): " +
                *bind);
        }
        options.addresses = {*bind};
    }
    const ApiToken token = LoadOrMakeApiToken(ApiTokenPath(common::UserConfigFolder()));
    if (token.token.empty()) {
        *ctx.err << "zarvex-cli: " << token.error << '\n';
        return kExitFailed;
    }
    if (args.Has("show-token")) {
        *ctx.out << token.token << '\n';
        return kExitDone;
    }
    options.answerer.home = ctx.home;
    options.answerer.token = token.token;
    if (ctx.today_given) {
        options.answerer.today = ctx.today;
    }
    const HeldSignals signals;
    ApiServer server(options);
    std::string error;
    if (!server.Start(error)) {
        *ctx.err << "zarvex-cli: " << error << '\n';
        return kExitFailed;
    }
    for (const std::string& url : server.Urls()) {
        *ctx.err << "zarvex-cli: serving " << url << "v1/ over " << ctx.home.Root().string()
                 << '\n';
    }
    ctx.err->flush();
    signals.Wait();
    server.Stop();
    return kExitDone;
}

}  // namespace zarvex::cli
