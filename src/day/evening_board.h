#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "analytics/board/alert_check.h"
#include "analytics/board/board.h"
#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"

namespace zarvex::day {

// What follows a day run: the board of the last day processed, the levels feed written from
// it and the alert rules checked on it.
struct EveningReport {
    analytics::Board board;
    std::vector<analytics::FiredAlert> fired;
    std::vector<analytics::AlertRuleError> rule_errors;
    // What went wrong on the way (the feed's folder, the rule file), one sentence each.
    std::vector<std::string> problems;
    std::vector<std::filesystem::path> feed_files;
};

// Where a finished evening goes besides the status bar: the window's board and a desktop
// notification. It must not throw; whatever it fails at is its own business.
class EveningSink {
public:
    virtual ~EveningSink() = default;
    virtual void EveningDone(const EveningReport& report) = 0;
};

// The board of the latest stored day up to `up_to` (the day just run), every symbol's levels
// feed in the feed's folder, and the rules of `config_folder`/alerts.txt checked on the board
// (a missing rule file is made with its explaining header). Nothing here fails the day run:
// problems become status texts through host and entries of the report.
EveningReport RunEvening(const std::vector<analytics::BoardSource>& sources, common::Date up_to,
                         const common::ProgramFolder& folder,
                         const std::filesystem::path& config_folder, const common::Host& host);

// Writes each symbol's feed files (CSV, text and JSON) whole under a temporary name and renames it, so a terminal
// never reads half a file. The files written; a sentence per problem into `problems`.
std::vector<std::filesystem::path> WriteLevelsFeed(const analytics::Board& board,
                                                   const std::filesystem::path& feed_folder,
                                                   bool create_folder,
                                                   std::vector<std::string>& problems);

}  // namespace zarvex::day
