#include "ui/gui_fixture.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <stdexcept>

#include "app/gui/single_instance.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "ui/background_work.h"
#include "ui/qt_app.h"

namespace zarvex::test {

GeneratedHome::GeneratedHome() {
    reportgen::ReportGenerator generator;
    for (common::Date day : {kFirstDay, kSecondDay}) {
        std::string error;
        if (!reportgen::WriteProgramFolderDay(generator.Generate(day), home_.Path(), &error)) {
            throw std::runtime_error(error);
        }
    }
    common::TextTable texts(common::Language::kEnglish);
    common::PlainHost plain;
    day::InstrumentList list(home_.Folder(), plain.AsHost(&texts));
    for (common::Date day : {kFirstDay, kSecondDay}) {
        if (const common::Outcome run = list.RunCurrentDay(day); !run.IsDone()) {
            throw std::runtime_error(run.Reason());
        }
    }
}

StartedProgram::StartedProgram(const common::ProgramFolder& folder, std::string language,
                               std::string instance_name, Boxes boxes, QString state_file) {
    EnsureQtApplication();
    static std::atomic<int> counter{0};
    gui::StartupOptions options;
    options.language_argument = std::move(language);
    options.folder = folder;
    options.report_host = "127.0.0.1:1";
    options.instance_name =
        instance_name.empty()
            ? gui::SingleInstance::SocketFor(
                  ::getuid(), "/zarvex-ui-test-" +
                                  std::to_string(QCoreApplication::applicationPid()) + "-" +
                                  std::to_string(counter++))
            : std::move(instance_name);
    options.pump_sleep = std::chrono::milliseconds(0);
    options.start_scheduler = false;
    options.network_up = [] { return false; };
    if (boxes == Boxes::kRecorded) {
        options.presenter = [this](const QString& title, const QString& text) {
            messages_.push_back(title.toStdString() + ": " + text.toStdString());
        };
    }
    options.panel_clock = &clock_;
    options.locale = "C";
    options.state_file = std::move(state_file);
    startup_ = std::make_unique<gui::Startup>(std::move(options));
    outcome_ = startup_->Run();
}

StartedProgram::~StartedProgram() = default;

void ProcessEventsFor(std::chrono::milliseconds duration) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < duration.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

void WaitForViews() {
    QElapsedTimer clock;
    clock.start();
    while (ui::BackgroundWork::Awaited() > 0 && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

}  // namespace zarvex::test
