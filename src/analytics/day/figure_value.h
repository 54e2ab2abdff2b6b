#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/panel_number.h"

namespace zarvex::analytics {

// One figure of a day as every output reads it: the text the panel (or `history`) shows, and
// that text as a number with its decimals; no number for an empty cell. The volatility figures
// have no text of the panel's: they are `exact` numbers, written in full as `vol` and
// `indicators` give them.
struct FigureValue {
    std::string text;
    std::optional<double> number;
    int decimals = 0;
    bool exact = false;

    // The number is read back from the text, so that it is the number the user sees.
    static FigureValue FromText(std::string text);
    static FigureValue FromPanel(const PanelNumber& number);
    static FigureValue FromInt(std::int64_t value);
    // Written shortest, with a decimal point and no trailing zeros.
    static FigureValue FromShort(double value);
    // A text that is no number (a date).
    static FigureValue Plain(std::string text);
    // An empty value for nullopt or a number that is not finite.
    static FigureValue FromExact(std::optional<double> value);
};

// Today's value less the previous day's, rounded to the finer of the two texts' decimals (the
// plain difference where either is exact); nullopt unless both are numbers.
std::optional<double> Change(const FigureValue& today, const FigureValue& previous);

}  // namespace zarvex::analytics
