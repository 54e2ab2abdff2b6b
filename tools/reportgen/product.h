#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zarvex::reportgen {

// One option product of the currency report. Prices are quoted as the exchange quotes the
// futures, in US dollars per unit of the currency (the yen per one yen: 0.012200).
struct Product {
    std::string_view code;  // the code at the start of its section headers
    std::string_view name;
    bool instrument;           // one of the six currencies the program extracts
    double level;              // typical futures price
    int strike_decimals;       // decimals of strikes as printed
    std::int64_t strike_step;  // strike spacing in units of the last printed decimal
    int price_decimals;        // decimals of premiums as printed
    double volatility;         // yearly, for the premiums
    double open_interest;      // typical open interest of a strike near the money
    double forward_point;      // typical forward point (instruments only)
};

// The six instruments first, in the program's order, then the other products of the report.
const std::vector<Product>& Products();

// The product with the code, or nullptr.
const Product* FindProduct(std::string_view code);

}  // namespace zarvex::reportgen
