#include "analytics/prices.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>
#include <string>

namespace zarvex::analytics {
namespace {

// The settings' codes, as a settings row holds them.
constexpr int kPriceFutures = 0;
constexpr int kPriceStandart = 1;
constexpr int kPriceForex = 2;

std::string Shown(double strike, const char* symbol, const char* option, double premium,
                  double forward_point, int type) {
    return PriceByType(strike, symbol, common::SideFromText(option), premium, forward_point,
                       common::PriceTypeFromCode(static_cast<std::int8_t>(type)));
}

struct PriceCase {
    const char* name;
    double strike;
    const char* symbol;
    const char* option;
    double premium;
    double forward_point;
    int type;
    const char* shown;
};

void PrintTo(const PriceCase& c, std::ostream* os) {
    *os << c.name;
}

class PriceByTypeTable : public testing::TestWithParam<PriceCase> {};

TEST_P(PriceByTypeTable, ShowsThePriceText) {
    const PriceCase& c = GetParam();
    EXPECT_EQ(Shown(c.strike, c.symbol, c.option, c.premium, c.forward_point, c.type), c.shown);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Prices, PriceByTypeTable,
    testing::Values(
        PriceCase{"EurForexCall", 1.1, "EUR", "CALL", 0.012, 10, kPriceForex, "1.1110"},
        PriceCase{"EurForexPut", 1.1, "EUR", "PUT", 0.012, 10, kPriceForex, "1.0870"},
        PriceCase{"EurFuturesCall", 1.1, "EUR", "CALL", 0.012, 10, kPriceFutures, "1.1120"},
        PriceCase{"EurStandart", 1.1, "EUR", "PUT", 0.012, 10, kPriceStandart, "1.1000"},
        PriceCase{"GbpFuturesPut", 1.25, "GBP", "PUT", 0.02, 0, kPriceFutures, "1.2300"},
        PriceCase{"AudForexNegativePoint", 0.7, "AUD", "CALL", 0.0, -15, kPriceForex, "0.7015"},
        PriceCase{"JpyForexCall", 0.9, "JPY", "CALL", 0.01, -20, kPriceForex, "110.09"},
        PriceCase{"JpyFuturesCall", 0.9, "JPY", "CALL", 0.01, -20, kPriceFutures, "0.9100"},
        PriceCase{"JpyStandart", 0.9, "JPY", "CALL", 0.01, -20, kPriceStandart, "0.9000"},
        PriceCase{"CadForexInverts", 0.8, "CAD", "CALL", 0.0, 5, kPriceForex, "1.2495"},
        PriceCase{"ChfForexPut", 1.05, "CHF", "PUT", 0.01, -3, kPriceForex, "0.9618"},
        PriceCase{"DeltaBalanceZeroPremium", 1.3, "EUR", "PUT", 0.0, 25, kPriceForex, "1.2975"},
        PriceCase{"WtiForex", 80.0, "WTI", "CALL", 1.0, 10, kPriceForex, "0"},
        PriceCase{"WtiStandart", 80.0, "WTI", "CALL", 1.0, 10, kPriceStandart, "0"},
        PriceCase{"LowerCaseSymbolIsUnknown", 1.1, "eur", "CALL", 0.0, 0, kPriceStandart, "0"},
        PriceCase{"ZeroStrike", 0.0, "EUR", "CALL", 0.0, 0, kPriceStandart, "0"},
        PriceCase{"NegativeZeroIsZero", 0.01, "EUR", "PUT", 0.01, 0, kPriceFutures, "0"},
        PriceCase{"ForexZeroIsZero", 1.0, "EUR", "CALL", 0.0, 10000, kPriceForex, "0"},
        PriceCase{"CadZeroHasNoInverse", 0.01, "CAD", "PUT", 0.01, 5, kPriceForex, "0"},
        PriceCase{"JpyZeroHasNoInverse", 0.0, "JPY", "CALL", 0.0, -20, kPriceForex, "0"},
        PriceCase{"JpyInverseOverflows", 1e-320, "JPY", "CALL", 0.0, 0, kPriceForex, "0"},
        PriceCase{"InfiniteStrike", kInf, "EUR", "CALL", 0.0, 0, kPriceStandart, "0"},
        PriceCase{"UnknownOptionFutures", 1.1, "EUR", "call", 0.01, 0, kPriceFutures, "0"},
        PriceCase{"UnknownOptionForex", 1.1, "CHF", "", 0.01, 0, kPriceForex, "0"},
        PriceCase{"UnknownOptionStandart", 1.1, "EUR", "", 0.01, 0, kPriceStandart, "1.1000"},
        PriceCase{"UnknownPriceType", 1.1, "EUR", "CALL", 0.01, 0, 3, "0"},
        PriceCase{"NegativePriceType", 1.1, "EUR", "CALL", 0.01, 0, -1, "0"}),
    [](const testing::TestParamInfo<PriceCase>& param_info) {
        return std::string(param_info.param.name);
    });

// The shown texts feed files and other programs, so a comma locale must not leak into them,
// neither the C library's nor the C++ streams' one.
class CommaPoint final : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
};

TEST(PriceByType, WritesAPointUnderACommaStreamLocale) {
    const std::locale saved =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const std::string call = Shown(1.1, "EUR", "CALL", 0.012, 10, kPriceForex);
    const std::string jpy = Shown(0.9, "JPY", "CALL", 0.01, -20, kPriceForex);
    std::locale::global(saved);
    EXPECT_EQ(call, "1.1110");
    EXPECT_EQ(jpy, "110.09");
}

TEST(PriceByType, WritesAPointUnderACommaCLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            switched = true;
            break;
        }
    }
    if (!switched) {
        GTEST_SKIP() << "no C locale with a decimal comma is installed";
    }
    const std::string call = Shown(1.1, "EUR", "CALL", 0.012, 10, kPriceForex);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(call, "1.1110");
}

}  // namespace
}  // namespace zarvex::analytics
