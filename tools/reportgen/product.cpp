#include "reportgen/product.h"

namespace zarvex::reportgen {

const std::vector<Product>& Products() {
    // Levels of late 2012. No code or name may contain another product's code: the program
    // opens a section on any line that holds its symbol. Strikes fit the 8-column field.
    // The instruments' premiums carry enough decimals, and the yen's strikes lie far enough
    // apart, for put-call parity to give the discount to 1e-3 from ten strikes (the yen's
    // premium cannot take a seventh decimal in its 8-column field).
    static const std::vector<Product> products{
        {"EUR", "EURO FX", true, 1.30, 4, 50, 5, 0.090, 2400.0, 10.50},
        {"GBP", "BRITISH POUND", true, 1.60, 4, 50, 5, 0.075, 1500.0, -4.20},
        {"AUD", "AUSTRALIAN DOLLAR", true, 1.04, 4, 50, 5, 0.085, 1300.0, -85.30},
        {"CAD", "CANADIAN DOLLAR", true, 1.01, 4, 50, 5, 0.060, 1100.0, 28.40},
        {"JPY", "JAPANESE YEN", true, 0.0122, 6, 200, 6, 0.095, 1900.0, -12.35},
        {"CHF", "SWISS FRANC", true, 1.07, 4, 50, 5, 0.080, 800.0, -21.70},
        {"BRL", "BRAZILIAN REAL", false, 0.48, 4, 50, 4, 0.120, 300.0, 0.0},
        {"MXN", "MEXICAN PESO", false, 0.077, 6, 250, 6, 0.110, 600.0, 0.0},
        {"NZD", "NEW ZEALAND DOLLAR", false, 0.82, 4, 50, 4, 0.100, 400.0, 0.0},
        {"RUB", "RUSSIAN RUBLE", false, 0.032, 6, 100, 6, 0.100, 150.0, 0.0},
        {"ZAR", "SOUTH AFRICAN RAND", false, 0.115, 6, 500, 6, 0.140, 120.0, 0.0},
        {"SEK", "SWEDISH KRONA", false, 0.15, 5, 50, 5, 0.110, 90.0, 0.0},
        {"NOK", "NORWEGIAN KRONE", false, 0.17, 5, 50, 5, 0.110, 80.0, 0.0},
        {"PLN", "POLISH ZLOTY", false, 0.32, 5, 100, 5, 0.130, 70.0, 0.0},
        {"CZK", "CZECH KORUNA", false, 0.051, 6, 250, 6, 0.120, 50.0, 0.0},
        {"HUF", "HUNGARIAN FORINT", false, 0.0045, 6, 25, 6, 0.150, 40.0, 0.0},
        {"KRW", "KOREAN WON", false, 0.00091, 6, 5, 6, 0.090, 60.0, 0.0},
        {"CNY", "RENMINBI", false, 0.16, 5, 50, 5, 0.040, 110.0, 0.0},
    };
    return products;
}

const Product* FindProduct(std::string_view code) {
    for (const Product& product : Products()) {
        if (product.code == code) {
            return &product;
        }
    }
    return nullptr;
}

}  // namespace zarvex::reportgen
