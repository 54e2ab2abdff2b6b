#include "app/cli/cli.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "acquisition/host_address.h"
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/usage.h"
#include "common/system_clock.h"
#include "common/text.h"

namespace zarvex::cli {

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands{
        {"parse", CmdParse},
        {"price", CmdPrice},
        {"trading-day", CmdTradingDay},
        {"holidays", CmdHolidays},
        {"process-day", CmdProcessDay},
        {"process-previous-days", CmdProcessPreviousDays},
        {"unload", CmdUnload},
        {"check", CmdCheck},
        {"indicators", CmdIndicators},
        {"histogram", CmdHistogram},
        {"tables", CmdTables},
        {"history", CmdHistory},
        {"vol", CmdVol},
        {"exposure", CmdExposure},
        {"board", CmdBoard},
        {"oi-map", CmdOiMap},
        {"alerts", CmdAlerts},
        {"levels", CmdLevels},
        {"serve", CmdServe},
        {"__complete", CmdComplete},
        {"scorecard", CmdScorecard},
        {"network-time", CmdNetworkTime},
        {"exchange-time", CmdExchangeTime},
        {"forward-points", CmdForwardPoints},
        {"download-day", CmdDownloadDay},
        {"download-previous-days", CmdDownloadPreviousDays},
        {"demo", CmdDemo},
    };
    return commands;
}

namespace {

// Takes the global options out of args (they may stand before or after the command) and
// fills the context; what is left is the command and its own words.
std::vector<std::string> TakeGlobalOptions(const std::vector<std::string>& args, Context& ctx) {
    std::vector<std::string> rest;
    std::string home;
    std::string today;
    bool home_given = false;
    bool host_given = false;
    bool lang_given = false;
    bool ca_given = false;
    std::string ca_file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--verbose") {
            ctx.verbose = true;
            continue;
        }
        const bool global = word == "--home" || word == "--lang" || word == "--today" ||
                            word == "--host" || word == "--ca-file";
        if (!global) {
            rest.push_back(word);
            continue;
        }
        if (i + 1 >= args.size()) {
            throw UsageError("option " + common::Capped(word) + " needs a value");
        }
        const std::string& value = args[++i];
        if (word == "--home") {
            if (home_given) {
                throw UsageError("option --home given twice");
            }
            home_given = true;
            home = value;
        } else if (word == "--lang") {
            if (lang_given) {
                throw UsageError("option --lang given twice");
            }
            lang_given = true;
            if (value != "eng" && value != "rus") {
                throw UsageError("--lang must be eng or rus: " + common::Capped(value));
            }
            ctx.lang = value;
        } else if (word == "--today") {
            if (ctx.today_given) {
                throw UsageError("option --today given twice");
            }
            ctx.today = ParseDateKeyOrThrow(value, "--today");
            ctx.today_given = true;
        } else if (word == "--ca-file") {
            if (ca_given) {
                throw UsageError("option --ca-file given twice");
            }
            if (value.empty()) {
                throw UsageError("--ca-file must not be empty");
            }
            ca_given = true;
            ca_file = value;
        } else {
            if (host_given) {
                throw UsageError("option --host given twice");
            }
            if (value.empty()) {
                throw UsageError("--host must not be empty");
            }
            host_given = true;
            ctx.host = value;
        }
    }
    if (home_given) {
        if (home.empty()) {
            throw UsageError("--home must not be empty");
        }
        ctx.home = common::ProgramFolder(home);
        ctx.home_given = true;
    } else {
        ctx.home = common::ProgramFolder::FromEnvironment();
    }
    if (!ctx.today_given) {
        ctx.today = common::DayStart(common::SystemClock().Now());
    }
    // Each ranks as the other: the command line, then the environment, then the data source
    // chosen in the window.
    const acquisition::DataSource saved = acquisition::SavedDataSource();
    if (!host_given) {
        ctx.host = acquisition::ResolveReportHost("", saved);
    }
    ctx.ca_file = acquisition::ResolveCaFile(ca_file, saved);
    return rest;
}

}  // namespace

namespace {

// --help, -h, --version and `help [COMMAND]`: print to stdout and end with 0. Returns false when
// the command line asks for none of them.
bool AnswerHelp(const std::vector<std::string>& rest, std::ostream& out) {
    const auto has = [&](const char* word) {
        return std::find(rest.begin(), rest.end(), word) != rest.end();
    };
    const bool asks_help = has("--help") || has("-h");
    if (!asks_help && has("--version")) {
        WriteVersion(out);
        return true;
    }
    const bool help_command = !rest.empty() && rest.front() == "help";
    if (!help_command && !asks_help) {
        return false;
    }
    // The topic: the first word that is not an option (`help COMMAND`, `COMMAND --help`).
    std::vector<std::string> words;
    std::copy_if(rest.begin() + (help_command ? 1 : 0), rest.end(), std::back_inserter(words),
                 [](const std::string& word) { return word.rfind('-', 0) != 0; });
    if (help_command && words.size() > 1) {
        throw UsageError("help takes one command name");
    }
    const std::string topic = words.empty() ? (help_command && asks_help ? "help" : "") : words[0];
    if (topic.empty()) {
        WriteOverview(out);
    } else if (const CommandHelp* help = FindCommandHelp(topic)) {
        WriteCommandHelp(out, *help);
    } else {
        throw UsageError("unknown command " + common::Capped(topic));
    }
    return true;
}

// The problem as one line: a value given on the command line may hold line ends and other
// control characters, which would split the line or garble the terminal.
std::string OneLine(std::string_view message) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line;
    line.reserve(message.size());
    for (const char c : message) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if (c == '\t') {
            line += "\\t";
        } else if (b < 0x20 || b == 0x7f) {
            line += "\\x";
            line += kHex[b >> 4];
            line += kHex[b & 15];
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Context ctx;
    ctx.out = &out;
    ctx.err = &err;
    try {
        std::vector<std::string> rest = TakeGlobalOptions(args, ctx);
        if (AnswerHelp(rest, out)) {
            return kExitDone;
        }
        if (rest.empty()) {
            throw UsageError("no command given; commands: " + CommandNameList() +
                             " (zarvex-cli --help explains them)");
        }
        const auto it = Commands().find(rest.front());
        if (it == Commands().end()) {
            throw UsageError("unknown command " + common::Capped(rest.front()));
        }
        rest.erase(rest.begin());
        return it->second(ctx, rest);
    } catch (const UsageError& e) {
        err << "zarvex-cli: " << OneLine(e.what()) << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        err << "zarvex-cli: " << OneLine(e.what()) << '\n';
        return kExitFailed;
    }
}

}  // namespace zarvex::cli
