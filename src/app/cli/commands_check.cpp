#include <ostream>
#include <string>
#include <vector>

#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "common/text_table.h"
#include "settings/template_rules.h"

namespace zarvex::cli {

namespace {

constexpr const char* kCheckUsage =
    "check needs one of condition, file-template, data-template and the text to check";

settings::CheckResult RunCheck(const std::string& kind, const std::string& text) {
    if (kind == "condition") {
        // The condition has the message of the significant levels' setting.
        return settings::CheckCondition(text, settings::ConditionUse::kLevel);
    }
    if (kind == "file-template") {
        return settings::CheckFileNameTemplate(text);
    }
    if (kind == "data-template") {
        return settings::CheckDataTemplate(text);
    }
    throw UsageError("unknown check " + kind + "; " + kCheckUsage);
}

}  // namespace

int CmdCheck(Context& ctx, const Words& words) {
    const Arguments args(words, {});
    const std::vector<std::string>& positional = args.Positional();
    if (positional.size() != 2) {
        throw UsageError(kCheckUsage);
    }
    const settings::CheckResult result = RunCheck(positional[0], positional[1]);
    if (result.valid) {
        *ctx.out << "valid\n";
        return kExitDone;
    }
    const common::TextTable texts(
        common::LanguageFromArgument(ctx.lang).value_or(common::Language::kEnglish));
    std::string message = texts.Get(result.message);
    // The dialog's message ends in a carriage return before its retry line; a line of
    // output does not.
    if (!message.empty() && message.back() == '\r') {
        message.pop_back();
    }
    *ctx.out << message << '\n';
    return kExitFailed;
}

}  // namespace zarvex::cli
