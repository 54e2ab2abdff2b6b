#pragma once

#include <vector>

#include "analytics/day/day_result.h"
#include "analytics/day/figure_catalogue.h"
#include "analytics/day/figure_value.h"
#include "app/cli/json_writer.h"

namespace zarvex::cli {

// A figure's value as its form writes it: texts as strings, whole numbers as integers (an
// empty text as the string it is), numbers in full, a missing exact number as null.
void FigureJson(JsonWriter& json, analytics::FigureForm form, const analytics::FigureValue& value);

// "key": value of each figure, in the order given, read from the day.
void FiguresJson(JsonWriter& json, const std::vector<analytics::FigureId>& figures,
                 const analytics::DayResult& day);

// The same from values already read, by catalogue place.
void FiguresJson(JsonWriter& json, const std::vector<analytics::FigureId>& figures,
                 const std::vector<analytics::FigureValue>& values);

}  // namespace zarvex::cli
