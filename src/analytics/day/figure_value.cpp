#include "analytics/day/figure_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>
#include <utility>

#include "common/text.h"

namespace zarvex::analytics {

FigureValue FigureValue::FromText(std::string text) {
    FigureValue value;
    const std::string_view trimmed = common::Trim(text);
    if (!trimmed.empty()) {
        value.number = common::ParseDouble(trimmed);
        const std::size_t point = trimmed.find('.');
        value.decimals =
            point == std::string_view::npos ? 0 : static_cast<int>(trimmed.size() - point - 1);
    }
    value.text = std::move(text);
    return value;
}

FigureValue FigureValue::FromPanel(const PanelNumber& number) {
    return FromText(number.Text());
}

FigureValue FigureValue::FromInt(std::int64_t value) {
    return {std::to_string(value), static_cast<double>(value), 0};
}

FigureValue FigureValue::FromShort(double value) {
    return {common::FormatShort(value), value, 0};
}

FigureValue FigureValue::Plain(std::string text) {
    FigureValue value;
    value.text = std::move(text);
    return value;
}

FigureValue FigureValue::FromExact(std::optional<double> value) {
    FigureValue out;
    out.exact = true;
    if (value && std::isfinite(*value)) {
        char text[32];
        const auto result = std::to_chars(std::begin(text), std::end(text), *value);
        out.text.assign(text, result.ptr);
        out.number = value;
    }
    return out;
}

std::optional<double> Change(const FigureValue& today, const FigureValue& previous) {
    if (!today.number || !previous.number) {
        return std::nullopt;
    }
    if (today.exact || previous.exact) {
        const double change = *today.number - *previous.number;
        return change == 0.0 ? 0.0 : change;
    }
    const double scale = std::pow(10.0, std::max(today.decimals, previous.decimals));
    const double change = std::round((*today.number - *previous.number) * scale) / scale;
    // No "-0" for an unchanged figure.
    return change == 0.0 ? 0.0 : change;
}

}  // namespace zarvex::analytics
