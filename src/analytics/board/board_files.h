#pragma once

#include <filesystem>
#include <string>

#include "analytics/board/alert_rules.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// The board's files in the user's configuration folder (common::UserConfigFolder): the alert
// rules, and the setting of the levels feed's folder. They belong to the user, not to a
// program folder, and no database holds them.
std::filesystem::path AlertRulesPath(const std::filesystem::path& config_folder);
std::filesystem::path LevelsFeedSettingPath(const std::filesystem::path& config_folder);

struct AlertRuleFile {
    AlertRules rules;
    bool missing = false;  // no file: no rules, and nothing wrong
    std::string error;     // the file exists but cannot be read
};

// Reads the rule file; a file larger than a megabyte is refused as no rule file.
AlertRuleFile ReadAlertRuleFile(const std::filesystem::path& path);

struct FeedFolder {
    std::filesystem::path path;
    bool is_default = false;  // OUTPUT/levels/ of the program folder
};

// The levels feed's folder: the "folder = PATH" line of the setting file when there is one,
// else OUTPUT/levels/ of the program folder. A relative PATH counts from the program folder.
FeedFolder LevelsFeedFolder(const std::filesystem::path& config_folder,
                            const common::ProgramFolder& folder);

}  // namespace zarvex::analytics
