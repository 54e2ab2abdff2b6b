#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "common/symbols.h"

namespace zarvex::common {

// Everything that differs between the instruments, in one place. A rule that depends on the
// currency reads it here and nowhere else names a symbol.
struct CurrencyConvention {
    std::string_view symbol;
    // Under Forex the future is turned into the spot quotation: numerator / future for the
    // currencies quoted the other way round (CAD, CHF: 1; JPY: 100, its strikes are in the
    // units of 100 yen), 0 for those quoted as the future is.
    double forex_inverse_numerator = 0.0;
    // The size of one forward point in the spot quotation.
    double forward_point = 0.0001;
    // Decimals of a price shown under Forex (the other types show 4).
    int forex_decimals = 4;
    // Prices per unit of the histogram's price axis under Forex; under Futures and Standart
    // every currency has 10000.
    int forex_price_resolution = 10000;
    // The step of the strike grid the histograms gather strikes on.
    double strike_grid_step = 0.00025;
    // What a stored premium is multiplied by to be in the unit of its strike: the report quotes
    // the yen's premiums per one yen, and its strikes are stored per 100 yen.
    double premium_scale = 1.0;
    // The exchange's contract size in the strike's units (money per unit of the future).
    std::int64_t contract_size = 0;

    constexpr bool InvertedUnderForex() const { return forex_inverse_numerator != 0.0; }
};

// The six currencies, in the order of the instrument list.
inline constexpr CurrencyConvention kCurrencyConventions[] = {
    {"EUR", 0.0, 0.0001, 4, 10000, 0.00025, 1.0, 125'000},
    {"GBP", 0.0, 0.0001, 4, 10000, 0.00025, 1.0, 62'500},
    {"AUD", 0.0, 0.0001, 4, 10000, 0.00025, 1.0, 100'000},
    {"CAD", 1.0, 0.0001, 4, 10000, 0.00025, 1.0, 100'000},
    {"JPY", 100.0, 0.01, 2, 100, 0.0025, 100.0, 125'000},
    {"CHF", 1.0, 0.0001, 4, 10000, 0.00025, 1.0, 125'000},
};

static_assert(std::size(kCurrencyConventions) == kInstrumentSymbols.size() && [] {
    for (std::size_t i = 0; i < kInstrumentSymbols.size(); ++i) {
        if (kCurrencyConventions[i].symbol != kInstrumentSymbols[i].symbol) {
            return false;
        }
    }
    return true;
}());

// The convention of one of the six; nullptr for any other symbol.
constexpr const CurrencyConvention* FindConvention(std::string_view symbol) {
    for (const CurrencyConvention& convention : kCurrencyConventions) {
        if (convention.symbol == symbol) {
            return &convention;
        }
    }
    return nullptr;
}

// A symbol the reports may name that is not a currency: the price resolution of its
// histograms (they quote fewer decimals), and what a market width of whole prices is
// multiplied by (WTI's whole prices are its own points). None of them has forward points.
struct OtherInstrumentConvention {
    std::string_view symbol;
    int price_resolution;
    int whole_width_factor;
};

inline constexpr OtherInstrumentConvention kOtherInstrumentConventions[] = {
    {"WTI", 100, 1}, {"GLD", 10, 10}, {"MSP", 10, 10}, {"SP5", 10, 10}};

constexpr const OtherInstrumentConvention* FindOtherInstrument(std::string_view symbol) {
    for (const OtherInstrumentConvention& other : kOtherInstrumentConventions) {
        if (other.symbol == symbol) {
            return &other;
        }
    }
    return nullptr;
}

// Whether the panel shows a forward point for the symbol: every symbol but the other
// instruments.
constexpr bool ShowsForwardPoint(std::string_view symbol) {
    return FindOtherInstrument(symbol) == nullptr;
}

// The factor of a market width between borders shown without decimals: 10, WTI's own 1.
constexpr int WholeWidthFactor(std::string_view symbol) {
    const OtherInstrumentConvention* other = FindOtherInstrument(symbol);
    return other != nullptr ? other->whole_width_factor : 10;
}

// Prices per unit of the histogram's price axis for a symbol under Forex (forex = true) or
// another type: the other instruments' own, otherwise the currency's; 10000 for a symbol
// nobody knows.
constexpr int PriceResolution(std::string_view symbol, bool forex) {
    if (const OtherInstrumentConvention* other = FindOtherInstrument(symbol)) {
        return other->price_resolution;
    }
    const CurrencyConvention* convention = FindConvention(symbol);
    return forex && convention != nullptr ? convention->forex_price_resolution : 10000;
}

// Whether a higher strike is a lower price under Forex.
constexpr bool InvertedUnderForex(std::string_view symbol) {
    const CurrencyConvention* convention = FindConvention(symbol);
    return convention != nullptr && convention->InvertedUnderForex();
}

// The histograms' strike grid step; the common step for a symbol without a convention.
constexpr double StrikeGridStep(std::string_view symbol) {
    const CurrencyConvention* convention = FindConvention(symbol);
    return convention != nullptr ? convention->strike_grid_step : 0.00025;
}

// The factor of stored premiums; 1 for a symbol without a convention.
constexpr double PremiumScale(std::string_view symbol) {
    const CurrencyConvention* convention = FindConvention(symbol);
    return convention != nullptr ? convention->premium_scale : 1.0;
}

static_assert(InvertedUnderForex("JPY") && InvertedUnderForex("CAD") &&
              !InvertedUnderForex("EUR") && PriceResolution("JPY", true) == 100 &&
              PriceResolution("JPY", false) == 10000 && PriceResolution("SP5", false) == 10 &&
              StrikeGridStep("JPY") == 0.0025);

}  // namespace zarvex::common
