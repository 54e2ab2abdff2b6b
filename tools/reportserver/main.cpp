// zarvex-reportserver: the stand-in report server, for trying the downloads by hand or from
// scripts. Runs until SIGINT or SIGTERM.
#include <csignal>
#include <fstream>
#include <iostream>

#include "reportserver/report_server.h"
#include "reportserver/server_options.h"

int main(int argc, char** argv) {
    using namespace zarvex::tools;
    ServerOptions options;
    try {
        options = ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const OptionError& error) {
        std::cerr << "zarvex-reportserver: " << error.what() << '\n' << kServerUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kServerUsage;
        return 0;
    }
    // Block the stop signals before any thread starts, so that only sigwait sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ReportServer server(options.root);
    if (options.fixed_time) {
        server.SetFixedTime(*options.fixed_time);
    }
    server.SetTimeShift(options.shift);
    server.SetFaults(options.faults);
    server.SetDateHeaderStyle(options.date_style);
    if (!server.Start(options.bind, options.port)) {
        std::cerr << "zarvex-reportserver: cannot listen on " << options.bind << ':' << options.port
                  << '\n';
        return 1;
    }
    if (options.port_file) {
        std::ofstream(*options.port_file) << server.Port() << '\n';
    }
    std::cout << "listening on " << options.bind << ':' << server.Port() << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
    return 0;
}
