#pragma once

#include <array>
#include <string_view>
#include <vector>

// Splitting of the unload templates and of SQL conditions into their pieces. Each function
// gives exactly what a find-all with the named PCRE2 pattern gives (byte mode, "." matching
// line ends, newline LF), but in time linear in the text: the patterns themselves scan to
// the end of the text from every "{" and take minutes on a few ten thousand braces. The
// returned views point into the text passed in.
namespace zarvex::settings {

// The patterns, for anyone who matches them with PCRE2 directly.
inline constexpr std::string_view kNonBlankBracePattern = R"((?<=(){)\S(.*?)(?=()}))";
inline constexpr std::string_view kBracePattern = R"((?<=(){)(.*?)(?=()}))";
inline constexpr std::string_view kTemplateLinePattern = "(?={)\\S(.*?)(}\\r|$)";
inline constexpr std::string_view kListItemPattern = R"((?<=(),|^)\S(.*?)(?=(),|$))";
inline constexpr std::string_view kConditionTokenPattern = R"(\S(.*?)(\s|$))";

// The column names of the table dating, in column order: the field names of a data template
// and the column words of a condition.
inline constexpr std::array<std::string_view, 12> kColumnNames{
    "strike", "price", "delta",  "volume",   "oi",         "doi",
    "sign",   "symb",  "option", "contract", "expiration", "date"};

// kNonBlankBracePattern: the brace contents that start with a non-blank character, each up
// to the next "}". "{ SYM}" and "{}" give nothing.
std::vector<std::string_view> NonBlankBraceContents(std::string_view text);

// kBracePattern: every brace content, empty ones included, walked as Perl's //g walks: after
// an empty match the search retries at the same place for a non-empty one, so "{a}{}{,}"
// gives "a", "" and "}{,". This is the split that the unload uses for its three parts.
std::vector<std::string_view> BraceContents(std::string_view text);

// kTemplateLinePattern: the lines of a data template, each from a "{" up to and including
// the next "}" + CR, or to the end of the text (before a final LF).
std::vector<std::string_view> TemplateLines(std::string_view text);

// kListItemPattern: the comma-separated items that start right at the start of the text or
// right after a comma with a non-blank character, each up to the next comma or the end;
// "strike, price" gives only "strike".
std::vector<std::string_view> ListItems(std::string_view text);

// kConditionTokenPattern, each match then trimmed of blanks: the runs of non-white-space
// characters, each with the white-space character that ends it unless that is a blank
// ("oi\t>" gives "oi\t" and ">").
std::vector<std::string_view> ConditionTokens(std::string_view text);

// The three parts of a data template as the unload takes them: the first three matches of
// kBracePattern over the whole text (BraceContents), the field names of the first part as
// ListItems gives them, the second part as the condition, the third as the separator. This is
// the one split of a data template that both the unload and the settings check use, so that
// nothing the unload runs has escaped the check.
struct DataTemplateParts {
    std::vector<std::string_view> fields;
    // Empty when the template has no second part or one of a single character (for example one
    // blank), which stands for "no condition".
    std::string_view condition;
    // "," when the template has no third part.
    std::string_view separator = ",";
};
DataTemplateParts SplitDataTemplate(std::string_view text);

// White space as PCRE2's \s sees it in byte mode: blank, TAB, LF, VT, FF and CR.
bool IsPcreSpace(char c);

}  // namespace zarvex::settings
