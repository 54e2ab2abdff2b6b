// Closing the window while the start-up catch-up waits on a report server that never answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>

#include "app/gui/main_window.h"
#include "app/gui/single_instance.h"
#include "app/gui/startup.h"
#include "reportserver/report_server.h"
#include "support/temp_folder.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"

namespace zarvex::gui {
namespace {

std::unique_ptr<Startup> StartAgainst(const test::TempProgramFolder& home,
                                      const tools::ReportServer& server, const std::string& name) {
    StartupOptions options;
    options.language_argument = "eng";
    options.folder = home.Folder();
    options.report_host = server.HostText();
    options.instance_name = name;
    options.pump_sleep = std::chrono::milliseconds(0);
    options.scheduler_time_scale = 100.0;  // the catch-up starts after 0.6 s
    options.network_up = [] { return true; };
    options.presenter = [](const QString&, const QString&) {};
    options.locale = "C";
    auto startup = std::make_unique<Startup>(std::move(options));
    if (startup->Run() != Startup::Outcome::kRunning) {
        return nullptr;
    }
    return startup;
}

TEST(CloseTest, CloseDuringASilentCatchUpEndsAtOnceAndFreesTheName) {
    test::EnsureQtApplication();
    test::TempFolder served;
    std::filesystem::create_directories(served.Path() / "toster");
    std::filesystem::create_directories(served.Path() / "fp");
    tools::ReportServer server(served.Path());
    ASSERT_TRUE(server.Start());
    server.SetFixedTime(common::MakeDate(2012, 12, 3, 16, 0));
    tools::ServerFaults faults;
    faults.silent_on = "/toster/";
    server.SetFaults(faults);

    test::TempProgramFolder home;
    const std::string name = gui::SingleInstance::SocketFor(
        ::getuid(), "/zarvex-close-test-" + std::to_string(QCoreApplication::applicationPid()));
    auto program = StartAgainst(home, server, name);
    ASSERT_NE(program, nullptr);
    const auto asked = [&] {
        const auto requests = server.Requests();
        return std::find(requests.begin(), requests.end(), "/toster/") != requests.end();
    };
    for (int i = 0; i < 100 && !asked(); ++i) {
        test::ProcessEventsFor(std::chrono::milliseconds(50));  // serves the status texts
    }
    ASSERT_TRUE(asked());
    test::ProcessEventsFor(std::chrono::milliseconds(300));

    // What the end of the event loop leads to: the window goes, then the program.
    const auto before = std::chrono::steady_clock::now();
    program->Window()->close();
    program.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));

    server.SetFaults({});
    auto second = StartAgainst(home, server, name);
    EXPECT_NE(second, nullptr);
}

}  // namespace
}  // namespace zarvex::gui
