#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analytics/board/symbol_rows.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/usage.h"
#include "common/symbols.h"
#include "storage/database.h"
#include "storage/statement.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

// The options a synopsis names: "--symbol SYM [--date DD.MM.YYYY] (--a | --b)" gives --symbol,
// --date, --a and --b.
std::set<std::string> SynopsisOptions(const std::string& synopsis) {
    std::set<std::string> options;
    std::size_t at = synopsis.find("--");
    while (at != std::string::npos) {
        std::size_t end = at + 2;
        while (end < synopsis.size() &&
               (std::isalnum(static_cast<unsigned char>(synopsis[end])) || synopsis[end] == '-')) {
            ++end;
        }
        if (end > at + 2) {
            options.insert(synopsis.substr(at, end - at));
        }
        at = synopsis.find("--", end);
    }
    return options;
}

std::vector<std::string> SymbolsOf(const std::optional<std::string>& symbol) {
    if (symbol) {
        return {*symbol};
    }
    return {common::kSymbols.begin(), common::kSymbols.end()};
}

}  // namespace

// For the shell's completion: one word a line of what may follow. Not in the help: the
// completion scripts are its only callers. It never fails loudly, since a completion that
// prints errors into the user's command line is worse than none.
int CmdComplete(Context& ctx, const Words& words) {
    const std::string what = words.empty() ? "" : words[0];
    std::optional<std::string> symbol;
    if (words.size() > 1 && std::find(common::kSymbols.begin(), common::kSymbols.end(), words[1]) !=
                                common::kSymbols.end()) {
        symbol = words[1];
    }
    std::set<std::string> answer;
    if (what == "commands") {
        for (const CommandHelp& help : CommandHelps()) {
            answer.insert(help.name);
        }
    } else if (what == "options" && words.size() > 1) {
        if (const CommandHelp* help = FindCommandHelp(words[1])) {
            answer = SynopsisOptions(help->synopsis);
        }
    } else if (what == "symbols") {
        answer.insert(common::kSymbols.begin(), common::kSymbols.end());
    } else if (what == "contracts" || what == "dates") {
        for (const std::string& one : SymbolsOf(symbol)) {
            const storage::Database db =
                storage::Database::OpenReadOnlyForScan(storage::QuotePath(ctx.home, one));
            if (!db.IsOpen()) {
                continue;
            }
            if (what == "contracts") {
                storage::Statement query = db.Prepare("SELECT DISTINCT contract FROM dating");
                while (query.Step()) {
                    answer.insert(query.ColumnText(0));
                }
                continue;
            }
            analytics::SymbolRows rows;
            if (rows.Scan(db)) {
                for (const common::Date day : rows.Days()) {
                    answer.insert(common::DayText(day));
                }
            }
        }
    }
    for (const std::string& word : answer) {
        // A word with a blank or a line end would break the shell's list apart.
        if (!word.empty() && word.find_first_of(" \t\r\n") == std::string::npos) {
            *ctx.out << word << '\n';
        }
    }
    return kExitDone;
}

}  // namespace zarvex::cli
