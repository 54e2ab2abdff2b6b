#pragma once

#include <string>
#include <vector>

#include "analytics/left_panel/day_context.h"
#include "common/host.h"
#include "storage/database.h"

// The calculations of the left panel. Each reads the day, contract, symbol, price type,
// forward point and conditions of the context, writes only its own result fields, and
// returns false when one of its queries failed: it then stops there, and what it has written
// so far stays. The caller resolves the forward point first and shows the status texts.
namespace zarvex::analytics {

// Where the calculations read: the queries within the selected day and contract from `day`,
// the one query over all days of a contract from `all_days`. Usually both are the quote
// database; the panel passes its in-memory copy of the day and contract as `day`.
struct QuoteSource {
    // NOLINTNEXTLINE(google-explicit-constructor): one database serves as both.
    QuoteSource(const storage::Database& db) : all_days(db), day(db) {}
    QuoteSource(const storage::Database& all, const storage::Database& one_day)
        : all_days(all), day(one_day) {}

    const storage::Database& all_days;
    const storage::Database& day;
};

// Expiration, CALL level and PUT level.
bool CalculateBasicIndicators(const QuoteSource& source, DayContext& context);

// Ratios by open interest, by volume and by average price. Pumps events between the three.
bool CalculatePutCallRatios(const storage::Database& db, DayContext& context,
                            const common::Host& host);

// The PUT and CALL significant levels (both lists are rebuilt from empty).
bool CalculateSignificantLevels(const storage::Database& db, DayContext& context);

// The PUT and CALL significant fractals (both lists are rebuilt from empty).
bool CalculateSignificantFractals(const storage::Database& db, DayContext& context);

// Delta-balance, borders, channel center, width of market and limits. Pumps events after
// each step.
bool CalculateMarketBorders(const storage::Database& db, DayContext& context,
                            const common::Host& host);

// Channel center and width of market from the two borders as shown (the bottom border's
// decimals decide both). Without both borders they are emptied, so that they never show the
// numbers of another day or contract.
void ChannelFromBorders(DayContext& context);

// Adds a number to a list of at most kPanelTableRows entries of distinct texts. False once the
// list is full, which ends the reading.
bool AddDistinct(std::vector<PanelNumber>& list, const PanelNumber& number);

// The text a fractal's premium lookup binds for its strike: the strike with up to ten
// decimals and no trailing zeros, cut or padded with "0" on the right to 8 characters. A
// whole-number strike gets its decimal point first, so that the padding adds decimals and
// never multiplies the number.
std::string FractalStrikeText(double strike);

// Whether a border text stands for no border: empty after trimming, or one of the zero
// spellings of that side.
bool UpperBorderIsZero(const std::string& text);
bool BottomBorderIsZero(const std::string& text);
// The same for a border as kept: no number, or one whose text is such a spelling.
bool UpperBorderIsZero(const PanelNumber& border);
bool BottomBorderIsZero(const PanelNumber& border);

}  // namespace zarvex::analytics
