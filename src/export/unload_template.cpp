#include "export/unload_template.h"

#include "common/pcre_pattern.h"
#include "common/text.h"

namespace zarvex::exporting {

namespace {

const common::PcrePattern& BracePattern() {
    static const common::PcrePattern pattern("(?<=(){)(.*?)(?=()})", common::PcrePattern::kDotAll);
    return pattern;
}

const common::PcrePattern& FieldPattern() {
    static const common::PcrePattern pattern("(?<=(),|^)\\S(.*?)(?=(),|$)",
                                             common::PcrePattern::kDotAll);
    return pattern;
}

std::vector<std::string> AllTexts(const common::PcrePattern& pattern, std::string_view text,
                                  bool* ok) {
    std::vector<std::string> out;
    auto texts = pattern.FindAllTexts(text);
    if (!texts) {
        if (ok != nullptr) {
            *ok = false;
        }
        return out;
    }
    out.reserve(texts->size());
    for (auto part : *texts) {
        out.emplace_back(part);
    }
    return out;
}

}  // namespace

std::vector<std::string> BraceParts(std::string_view text) {
    return AllTexts(BracePattern(), text, nullptr);
}

UnloadTemplate ParseUnloadTemplate(std::string_view text) {
    UnloadTemplate result;
    const std::vector<std::string> parts = AllTexts(BracePattern(), text, &result.ok);
    if (!parts.empty()) {
        result.fields = AllTexts(FieldPattern(), parts[0], &result.ok);
    }
    if (parts.size() >= 2 && parts[1].size() != 1) {
        result.condition = parts[1];
    }
    result.separator = parts.size() >= 3 ? parts[2] : std::string(",");
    return result;
}

std::string UnloadFileName(std::string_view file_name_template, std::string_view symbol,
                           common::Date date) {
    const std::string day = common::FormatDate(date, "%dd");
    const std::string month = common::FormatDate(date, "%mm");
    const std::string year = common::FormatDate(date, "%yyyy");
    std::string name;
    for (const std::string& token : BraceParts(file_name_template)) {
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
