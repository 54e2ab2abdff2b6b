#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"

namespace zarvex::exporting {

// The unload template split into its three brace parts: which columns, which rows, and the
// text between two values.
struct UnloadTemplate {
    std::vector<std::string> fields;
    // The SQL condition; empty when the template gives none or gives a single character
    // (which stands for "no condition").
    std::string condition;
    std::string separator;
};

// Brace parts in order: the texts between "{" and the next "}" (settings::BraceContents).
std::vector<std::string> BraceParts(std::string_view text);

// Splits the unload template. A template with fewer than three brace parts keeps what it
// has: without a condition part every row is written, without a separator part the values
// are separated by ",". Field names start with a non-blank character at the start of the
// list or right after a comma and run to the next comma.
UnloadTemplate ParseUnloadTemplate(std::string_view text);

// The file name from the file name template: the values of the recognised tokens (SYM, DAY,
// MONTH, YEAR, OPT, CONT) in template order, upper-cased, then ".TXT". OPT and CONT add
// nothing: a day's file holds every option and contract.
std::string UnloadFileName(std::string_view file_name_template, std::string_view symbol,
                           common::Date date);

}  // namespace zarvex::exporting
