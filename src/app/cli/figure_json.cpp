#include "app/cli/figure_json.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/text.h"

namespace zarvex::cli {

void FigureJson(JsonWriter& json, analytics::FigureForm form, const analytics::FigureValue& value) {
    using analytics::FigureForm;
    switch (form) {
        case FigureForm::kCount:
            if (const std::optional<std::int64_t> whole = common::ParseInt(value.text)) {
                json.Int(*whole);
            } else {
                json.String(value.text);
            }
            return;
        case FigureForm::kShort:
            json.Number(value.number.value_or(0.0));
            return;
        case FigureForm::kExact:
            json.Optional(value.number);
            return;
        case FigureForm::kDate:
        case FigureForm::kText:
        case FigureForm::kPanel:
            json.String(value.text);
            return;
    }
}

void FiguresJson(JsonWriter& json, const std::vector<analytics::FigureId>& figures,
                 const analytics::DayResult& day) {
    for (const analytics::FigureId id : figures) {
        const analytics::FigureEntry& entry = analytics::Figure(id);
        json.Key(entry.key);
        FigureJson(json, entry.form, entry.read(day));
    }
}

void FiguresJson(JsonWriter& json, const std::vector<analytics::FigureId>& figures,
                 const std::vector<analytics::FigureValue>& values) {
    for (const analytics::FigureId id : figures) {
        const analytics::FigureEntry& entry = analytics::Figure(id);
        json.Key(entry.key);
        FigureJson(json, entry.form, values[static_cast<std::size_t>(id)]);
    }
}

}  // namespace zarvex::cli
