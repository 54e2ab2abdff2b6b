#pragma once

#include <string>
#include <vector>

#include "analytics/day/day_context.h"
#include "common/host.h"
#include "settings/settings.h"
#include "storage/database.h"

// The calculations of the left panel that run the user's conditions as SQL. Each reads the day,
// contract, symbol and forward point of the context and the conditions and price type of the
// settings, writes only its own result fields of the context, and returns false when one of its
// queries failed: it then stops there, and what it has written so far stays. The caller resolves
// the forward point first and shows the status texts. The figures without a condition are
// DayFigures (history/day_figures.h).
namespace zarvex::analytics {

// The PUT and CALL significant levels (both lists are rebuilt from empty).
bool CalculateSignificantLevels(const storage::Database& db, const settings::Settings& settings,
                                DayContext& context);

// The PUT and CALL significant fractals (both lists are rebuilt from empty).
bool CalculateSignificantFractals(const storage::Database& db, const settings::Settings& settings,
                                  DayContext& context);

// Adds a number to a list of at most kPanelTableRows entries of distinct texts. False once the
// list is full, which ends the reading.
bool AddDistinct(std::vector<PanelNumber>& list, const PanelNumber& number);

// The text a fractal's premium lookup binds for its strike: the strike with up to ten
// decimals and no trailing zeros, cut or padded with "0" on the right to 8 characters. A
// whole-number strike gets its decimal point first, so that the padding adds decimals and
// never multiplies the number.
std::string FractalStrikeText(double strike);

}  // namespace zarvex::analytics
