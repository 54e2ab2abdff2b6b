#include "analytics/prices.h"

#include <array>
#include <cmath>
#include <optional>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

// How a currency future is turned into the spot quotation under Forex: inverted or not
// (numerator of the inversion, 0 = not inverted), the size of one forward point, and decimals.
struct Quotation {
    std::string_view symbol;
    double inverse_numerator;
    double point;
    int forex_decimals;
};

constexpr std::array<Quotation, 6> kQuotations{{
    {"EUR", 0.0, 0.0001, 4},
    {"AUD", 0.0, 0.0001, 4},
    {"GBP", 0.0, 0.0001, 4},
    {"CAD", 1.0, 0.0001, 4},
    {"CHF", 1.0, 0.0001, 4},
    {"JPY", 100.0, 0.01, 2},
}};

constexpr int kDecimals = 4;

const Quotation* FindQuotation(std::string_view symbol) {
    for (const Quotation& quotation : kQuotations) {
        if (quotation.symbol == symbol) {
            return &quotation;
        }
    }
    return nullptr;
}

// The strike shifted by the premium in the option's direction; no price for other options.
std::optional<double> FuturesPrice(double strike, std::string_view option, double premium) {
    if (option == "CALL") {
        return strike + premium;
    }
    if (option == "PUT") {
        return strike - premium;
    }
    return std::nullopt;
}

double Value(const Quotation& quotation, double strike, std::string_view option, double premium,
             double forward_point, int price_type) {
    if (price_type == kPriceStandart) {
        return strike;
    }
    if (price_type != kPriceFutures && price_type != kPriceForex) {
        return 0.0;
    }
    const std::optional<double> futures = FuturesPrice(strike, option, premium);
    if (!futures) {
        return 0.0;
    }
    double x = *futures;
    if (price_type == kPriceFutures) {
        return x;
    }
    if (quotation.inverse_numerator != 0.0) {
        // A zero price has no inverse; it is shown as no price at all.
        if (x == 0.0) {
            return 0.0;
        }
        x = quotation.inverse_numerator / x;
    }
    return x - forward_point * quotation.point;
}

// The price and its decimals; a price of 0 stands for "0", without decimals.
struct RawPrice {
    double value = 0.0;
    int decimals = 0;
};

RawPrice Price(double strike, std::string_view symbol, std::string_view option, double premium,
               double forward_point, int price_type) {
    const Quotation* quotation = FindQuotation(symbol);
    if (quotation == nullptr) {
        return {};
    }
    const double value = Value(*quotation, strike, option, premium, forward_point, price_type);
    if (value == 0.0 || !std::isfinite(value)) {
        return {};
    }
    return {value, price_type == kPriceForex ? quotation->forex_decimals : kDecimals};
}

}  // namespace

PanelNumber PriceNumber(double strike, std::string_view symbol, std::string_view option,
                        double premium, double forward_point, int price_type) {
    const RawPrice price = Price(strike, symbol, option, premium, forward_point, price_type);
    return PanelNumber::Fixed(price.value, price.decimals);
}

std::string PriceByType(double strike, std::string_view symbol, std::string_view option,
                        double premium, double forward_point, int price_type) {
    const RawPrice price = Price(strike, symbol, option, premium, forward_point, price_type);
    return price.value == 0.0 ? "0" : common::FormatFixed(price.value, price.decimals);
}

}  // namespace zarvex::analytics
