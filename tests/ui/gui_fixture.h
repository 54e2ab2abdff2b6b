#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/gui/startup.h"
#include "common/clock.h"
#include "common/date.h"
#include "common/plain_host.h"
#include "support/temp_folder.h"

namespace zarvex::test {

class FixedClock final : public common::Clock {
public:
    explicit FixedClock(common::Date now) : now_(now) {}
    common::Date Now() const override { return now_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    common::Date now_;
};

// A program folder whose six quote databases hold generated trading days (Wednesday 5 and
// Thursday 6 December 2012), extracted as the day runs extract them.
class GeneratedHome final {
public:
    static constexpr common::Date kFirstDay = 1354665600;   // 05.12.2012
    static constexpr common::Date kSecondDay = 1354752000;  // 06.12.2012

    GeneratedHome();
    common::ProgramFolder Folder() const { return home_.Folder(); }
    const std::filesystem::path& Path() const { return home_.Path(); }

private:
    TempProgramFolder home_;
};

// The program started in-process on a program folder: no scheduler, no pumping pauses, no
// network, message boxes recorded instead of shown.
class StartedProgram final {
public:
    enum class Boxes { kRecorded, kDesktop };

    // kDesktop: message boxes are the desktop's own, to be answered by the test.
    // state_file: where the window keeps its state; empty: nowhere.
    explicit StartedProgram(const common::ProgramFolder& folder, std::string language = "eng",
                            std::string instance_name = "", Boxes boxes = Boxes::kRecorded,
                            QString state_file = {});
    ~StartedProgram();

    gui::Startup& Program() { return *startup_; }
    gui::MainWindow& Window() { return *startup_->Window(); }
    gui::Startup::Outcome Outcome() const { return outcome_; }
    // "title: text" of every message box, in order.
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    FixedClock clock_{GeneratedHome::kSecondDay + 86400};
    std::vector<std::string> messages_;
    std::unique_ptr<gui::Startup> startup_;
    gui::Startup::Outcome outcome_ = gui::Startup::Outcome::kRunning;
};

// Lets queued work of the main thread (posted by workers, zero timers) run.
void ProcessEventsFor(std::chrono::milliseconds duration);
// Turns the event loop until every view's computation has arrived (the Board, History and
// Volatility views compute away from the window's thread).
void WaitForViews();

}  // namespace zarvex::test
