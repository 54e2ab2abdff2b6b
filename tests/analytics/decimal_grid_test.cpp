#include "analytics/right_panel/decimal_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "analytics/reference_rebinning.h"

namespace zarvex::analytics {
namespace {

struct GridCase {
    const char* name;
    double value;
    double origin;
    double step;
    std::size_t count;
    std::optional<std::size_t> expected;
};

class DecimalGridCases : public ::testing::TestWithParam<GridCase> {};

TEST_P(DecimalGridCases, FindsThePositionThatReadsTheSame) {
    const GridCase& c = GetParam();
    EXPECT_EQ(FindOnDecimalGrid(c.value, c.origin, c.step, c.count), c.expected);
    EXPECT_EQ(reference::FindOnGridByText(c.value, c.origin, c.step, c.count), c.expected);
}

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, DecimalGridCases,
    ::testing::Values(GridCase{"first", 1.09975, 1.09975, 0.00025, 23, 0},
                      GridCase{"strike", 1.1, 1.09975, 0.00025, 23, 1},
                      GridCase{"last", 1.10525, 1.09975, 0.00025, 23, 22},
                      GridCase{"off_grid", 1.1001, 1.09975, 0.00025, 23, std::nullopt},
                      GridCase{"beyond_last", 1.1055, 1.09975, 0.00025, 23, std::nullopt},
                      GridCase{"below_first", 1.0995, 1.09975, 0.00025, 23, std::nullopt},
                      GridCase{"price_bin", 1.1123, 1.097, 0.0001, 157, 153},
                      GridCase{"jpy_bin", 101.52, 99.5, 0.01, 500, 202},
                      GridCase{"nan", kNan, 1.0, 0.0001, 10, std::nullopt},
                      GridCase{"inf", kInf, 1.0, 0.0001, 10, std::nullopt},
                      GridCase{"empty_grid", 1.0, 1.0, 0.0001, 0, std::nullopt}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

// The arithmetic shortcut against the comparison with every position, on values that fall on,
// between and around the grids the program uses.
TEST(DecimalGrid, AgreesWithTheTextComparisonOnRandomValues) {
    std::mt19937_64 random(20121207);
    std::uniform_int_distribution<int> grid_kind(0, 3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 4000; ++trial) {
        const int kind = grid_kind(random);
        const double step = kind == 0 ? 0.00025 : kind == 1 ? 0.0025 : kind == 2 ? 0.0001 : 0.01;
        const int decimals = kind == 3 ? 2 : 5;
        const double scale = std::pow(10.0, decimals);
        const double origin = std::round((0.5 + unit(random) * 120.0) * scale) / scale;
        const std::size_t count = 1 + static_cast<std::size_t>(unit(random) * 300);
        // Values with the decimals of a stored strike or a shown price, some of them outside.
        const double raw = origin + (unit(random) * 1.2 - 0.1) * step * count;
        const double value = std::round(raw * scale) / scale;
        ASSERT_EQ(FindOnDecimalGrid(value, origin, step, count),
                  reference::FindOnGridByText(value, origin, step, count))
            << value << " on " << origin << " + k * " << step << ", " << count;
    }
}

}  // namespace
}  // namespace zarvex::analytics
