#include "analytics/panel_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analytics/prices.h"
#include "common/text.h"

namespace zarvex::analytics {
namespace {

// The panel keeps a number rounded to its shown decimals; its text must be exactly the text of
// the unrounded value, over the magnitudes prices, ratios and widths take and beyond, halves
// and negative zeros included.
TEST(PanelNumberTest, KeepsTheTextOfTheValueItWasMadeFrom) {
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 14);
    for (int i = 0; i < 200000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const int decimals = i % 7;
        ASSERT_EQ(PanelNumber::Fixed(value, decimals).Text(), common::FormatFixed(value, decimals))
            << value << " " << decimals;
    }
    for (const double value :
         {0.00005, 1.00005, 2.5, -0.00001, -0.0, 1e300, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(PanelNumber::Fixed(value, 4).Text(), common::FormatFixed(value, 4)) << value;
    }
    EXPECT_EQ(PanelNumber().Text(), "");
    EXPECT_EQ(PanelNumber::Blank().Text(), " ");
}

TEST(PanelNumberTest, PriceNumberShowsAsPriceByType) {
    for (const char* symbol : {"EUR", "JPY", "CHF", "WTI"}) {
        for (int type = 0; type < 4; ++type) {
            for (const double strike : {0.0, 1.0, 1.23456789, 95.0}) {
                const common::PriceType price_type =
                    common::PriceTypeFromCode(static_cast<std::int8_t>(type));
                EXPECT_EQ(
                    PriceNumber(strike, symbol, common::Side::kCall, 0.0123, -12.35, price_type)
                        .Text(),
                    PriceByType(strike, symbol, common::Side::kCall, 0.0123, -12.35, price_type))
                    << symbol << " " << type << " " << strike;
            }
        }
    }
}

}  // namespace
}  // namespace zarvex::analytics
