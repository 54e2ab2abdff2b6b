#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace zarvex::common {

// A symbol of the exchange's reports and the index that the histogram notification (460)
// carries for it.
struct SymbolEntry {
    std::string_view symbol;
    int chart_index;
};

// The six instruments of the program in their one order: the tab strip, the day runs, the
// command line and the notifications all follow it; an instrument's chart index is its place.
inline constexpr std::array<SymbolEntry, 6> kInstrumentSymbols{
    {{"EUR", 0}, {"GBP", 1}, {"AUD", 2}, {"CAD", 3}, {"JPY", 4}, {"CHF", 5}}};

// Symbols the reports may name besides the six: the template rules accept them and the
// histogram notification numbers them after the six.
inline constexpr std::array<SymbolEntry, 4> kOtherSymbols{
    {{"WTI", 6}, {"GLD", 7}, {"MSP", 8}, {"SP5", 9}}};

// The six symbols alone, for loops over them.
inline constexpr std::array<std::string_view, kInstrumentSymbols.size()> kSymbols = [] {
    std::array<std::string_view, kInstrumentSymbols.size()> symbols{};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        symbols[i] = kInstrumentSymbols[i].symbol;
    }
    return symbols;
}();

// The place of one of the six in kInstrumentSymbols, or -1.
constexpr int InstrumentIndex(std::string_view symbol) {
    for (std::size_t i = 0; i < kInstrumentSymbols.size(); ++i) {
        if (kInstrumentSymbols[i].symbol == symbol) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The chart index of any of the ten symbols, or -1.
constexpr int ChartIndex(std::string_view symbol) {
    for (const SymbolEntry& entry : kInstrumentSymbols) {
        if (entry.symbol == symbol) {
            return entry.chart_index;
        }
    }
    for (const SymbolEntry& entry : kOtherSymbols) {
        if (entry.symbol == symbol) {
            return entry.chart_index;
        }
    }
    return -1;
}

static_assert(InstrumentIndex("CAD") == 3 && ChartIndex("CAD") == 3 && ChartIndex("SP5") == 9);

}  // namespace zarvex::common
