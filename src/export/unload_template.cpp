#include "export/unload_template.h"

#include "common/text.h"
#include "settings/template_parts.h"

namespace zarvex::exporting {

std::vector<std::string> BraceParts(std::string_view text) {
    const std::vector<std::string_view> parts = settings::BraceContents(text);
    return {parts.begin(), parts.end()};
}

UnloadTemplate ParseUnloadTemplate(std::string_view text) {
    // The settings check splits the template the same way, so the condition run here is the
    // one it passed.
    const settings::DataTemplateParts parts = settings::SplitDataTemplate(text);
    UnloadTemplate result;
    result.fields.assign(parts.fields.begin(), parts.fields.end());
    result.condition = parts.condition;
    result.separator = parts.separator;
    return result;
}

std::string UnloadFileName(std::string_view file_name_template, std::string_view symbol,
                           common::Date date) {
    const std::string day = common::FormatDate(date, "%dd");
    const std::string month = common::FormatDate(date, "%mm");
    const std::string year = common::FormatDate(date, "%yyyy");
    std::string name;
    for (std::string_view token : settings::BraceContents(file_name_template)) {
        if (token == "SYM") {
            name += symbol;
        } else if (token == "DAY") {
            name += day;
        } else if (token == "MONTH") {
            name += month;
        } else if (token == "YEAR") {
            name += year;
        }
    }
    return common::ToUpperAscii(name) + ".TXT";
}

}  // namespace zarvex::exporting
