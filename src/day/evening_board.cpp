#include "day/evening_board.h"

#include <system_error>
#include <utility>

#include "acquisition/file_writer.h"
#include "analytics/board/board_files.h"
#include "analytics/board/levels_feed.h"
#include "analytics/board/levels_json_feed.h"
#include "analytics/board/levels_text_feed.h"
#include "common/config_folder.h"
#include "common/text_id.h"

namespace zarvex::day {

namespace {

void MakeRuleFileWhenMissing(const std::filesystem::path& config_folder) {
    const std::filesystem::path path = analytics::AlertRulesPath(config_folder);
    std::error_code code;
    if (std::filesystem::exists(path, code) || code ||
        !common::PrepareUserConfigFolder(config_folder)) {
        return;
    }
    // Only a help to the user: a folder that takes no file changes nothing.
    acquisition::WriteFileAtomically(path, analytics::AlertRulesFileHeader());
}

}  // namespace

std::vector<std::filesystem::path> WriteLevelsFeed(const analytics::Board& board,
                                                   const std::filesystem::path& feed_folder,
                                                   bool create_folder,
                                                   std::vector<std::string>& problems) {
    std::vector<std::filesystem::path> written;
    std::error_code code;
    if (create_folder && !std::filesystem::is_directory(feed_folder, code)) {
        std::filesystem::create_directories(feed_folder, code);
    }
    if (!std::filesystem::is_directory(feed_folder, code)) {
        problems.push_back(feed_folder.string() + " is no folder");
        return written;
    }
    for (const analytics::SymbolBoard& symbol : board.symbols) {
        if (!symbol.read.IsDone() || symbol.date == common::kInvalidDate) {
            continue;
        }
        const std::pair<std::string, std::string> files[] = {
            {analytics::LevelsFeedFileName(symbol.symbol), analytics::LevelsFeedCsv(symbol)},
            {analytics::LevelsTextFeedFileName(symbol.symbol), analytics::LevelsTextFeed(symbol)},
            {analytics::LevelsJsonFeedFileName(symbol.symbol), analytics::LevelsJsonFeed(symbol)},
        };
        for (const auto& [name, content] : files) {
            const std::filesystem::path path = feed_folder / name;
            if (acquisition::WriteFileAtomically(path, content)) {
                written.push_back(path);
            } else {
                problems.push_back(path.string() + " cannot be written");
            }
        }
    }
    return written;
}

EveningReport RunEvening(const std::vector<analytics::BoardSource>& sources, common::Date up_to,
                         const common::ProgramFolder& folder,
                         const std::filesystem::path& config_folder, const common::Host& host) {
    EveningReport report;
    report.board = analytics::BuildBoard(sources, common::kInvalidDate, up_to, {}, folder, host);
    for (const analytics::SymbolBoard& symbol : report.board.symbols) {
        if (!symbol.read.IsDone()) {
            report.problems.push_back(symbol.symbol + ": " + symbol.read.Reason());
        }
    }

    std::vector<std::string> feed_problems;
    const analytics::FeedFolder feed = analytics::LevelsFeedFolder(config_folder, folder);
    report.feed_files = WriteLevelsFeed(report.board, feed.path, feed.is_default, feed_problems);
    for (const std::string& problem : feed_problems) {
        host.ShowStatus(host.Text(common::text::kBoardFeedProblem) + problem);
        report.problems.push_back(problem);
    }

    MakeRuleFileWhenMissing(config_folder);
    const analytics::AlertRuleFile rules =
        analytics::ReadAlertRuleFile(analytics::AlertRulesPath(config_folder));
    if (!rules.error.empty()) {
        host.ShowStatus(host.Text(common::text::kBoardRulesProblem) + rules.error);
        report.problems.push_back(rules.error);
    }
    report.rule_errors = rules.rules.errors;
    for (const analytics::AlertRuleError& error : report.rule_errors) {
        host.ShowStatus(host.Text(common::text::kBoardRulesProblem) + error.message);
    }
    report.fired = analytics::EvaluateAlerts(rules.rules.rules, report.board);
    if (!report.fired.empty()) {
        std::string text =
            host.Text(common::text::kBoardAlertsFired) + std::to_string(report.fired.size());
        for (const analytics::FiredAlert& alert : report.fired) {
            text += "; " + alert.message;
        }
        host.ShowStatus(text);
    }
    return report;
}

}  // namespace zarvex::day
