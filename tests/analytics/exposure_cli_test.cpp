#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "common/calendar.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

using test::RunCli;

// The number after the last `"key": ` of a JSON text.
double LastNumber(const std::string& text, const std::string& key) {
    const std::size_t at = text.rfind("\"" + key + "\": ");
    EXPECT_NE(at, std::string::npos) << key;
    return std::strtod(text.c_str() + at + key.size() + 4, nullptr);
}

long Count(const std::string& text, const std::string& what) {
    long count = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos;
         pos = text.find(what, pos + 1)) {
        ++count;
    }
    return count;
}

// Two generated days of EUR in the quote database of a program folder.
class ProbabilityCliTest : public ::testing::Test {
protected:
    ProbabilityCliTest() {
        const reportgen::ReportGenerator generator;
        for (const common::Date day :
             {common::MakeDate(2025, 12, 4), common::MakeDate(2025, 12, 5)}) {
            StoreParsedRows(h.QuoteFile(), generator.Generate(day).rows.at("EUR"));
        }
        config = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "zarvex";
        std::filesystem::create_directories(config);
    }
    ~ProbabilityCliTest() override { std::filesystem::remove(config / "contract-sizes.conf"); }

    test::CliOutcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", h.home.Path().string(), "--today", "20251208"});
        return RunCli(args);
    }

    PanelHarness h;
    std::filesystem::path config;
};

TEST_F(ProbabilityCliTest, DensityHasItsGridValuesAndQuantilesAndACsvOfTheInnerPoints) {
    const test::CliOutcome json = Run(
        {"vol", "--symbol", "EUR", "--date", "05.12.2025", "--contract", "MAR26-AM", "--density"});
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_EQ(json.out.rfind("{\"grid\": [", 0), 0U) << json.out.substr(0, 100);
    const std::size_t density = json.out.find("], \"density\": [");
    const std::size_t negative = json.out.find("], \"negative\": ");
    ASSERT_TRUE(density != std::string::npos && negative != std::string::npos);
    EXPECT_EQ(Count(json.out.substr(0, density), ","), 400);
    EXPECT_EQ(Count(json.out.substr(density + 15, negative - density - 15), ","), 398);
    const double mass = LastNumber(json.out, "mass_inside");
    EXPECT_TRUE(mass > 0.5 && mass < 1.0) << json.out.substr(negative);
    // The smile of that day starts above its 5% point: that quantile is not on the grid.
    EXPECT_TRUE(common::Contains(json.out, "\"quantiles\": {\"q05\": null, \"q25\": 1."));
    EXPECT_LT(LastNumber(json.out, "q25"), LastNumber(json.out, "q50"));
    EXPECT_LT(LastNumber(json.out, "q50"), LastNumber(json.out, "q75"));

    const test::CliOutcome csv = Run({"vol", "--symbol", "EUR", "--date", "05.12.2025",
                                      "--contract", "MAR26-AM", "--density", "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("strike,density\r\n", 0), 0U);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 400);

    const test::CliOutcome term =
        Run({"vol", "--symbol", "EUR", "--date", "05.12.2025", "--term", "--density"});
    EXPECT_EQ(term.status, 2);
}

TEST_F(ProbabilityCliTest, IndicatorsFollowEachChanceBeyondWithTheChanceOfTouching) {
    const test::CliOutcome out =
        Run({"indicators", "--symbol", "EUR", "--date", "05.12.2025", "--contract", "MAR26-AM"});
    ASSERT_EQ(out.status, 0) << out.err;
    const std::size_t above = out.out.find("\"prob_above_upper_border\": ");
    const std::size_t touch = out.out.find("\"prob_touch_upper_border\": ");
    ASSERT_TRUE(above != std::string::npos && touch != std::string::npos) << out.out;
    EXPECT_LT(above, touch);
    const double beyond = LastNumber(out.out, "prob_above_upper_border");
    EXPECT_DOUBLE_EQ(LastNumber(out.out, "prob_touch_upper_border"), std::min(1.0, 2 * beyond));
}

TEST_F(ProbabilityCliTest, ExposureSignsSumsSizesAndTheLatestDay) {
    const test::CliOutcome one = Run({"exposure", "--symbol", "EUR", "--contract", "MAR26-AM"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out.rfind("{\"symbol\": \"EUR\", \"date\": \"05.12.2025\", \"contract\": "
                            "\"MAR26-AM\", \"sign\": \"dealer-long-calls\", \"contract_size\": "
                            "125000, ",
                            0),
              0U)
        << one.out.substr(0, 200);
    EXPECT_TRUE(common::Contains(one.out, "\"zero_gamma\": 1.")) << one.out;
    const double total = LastNumber(one.out, "total");

    const test::CliOutcome flipped =
        Run({"exposure", "--symbol", "EUR", "--date", "05.12.2025", "--contract", "MAR26-AM",
             "--sign", "dealer-short-calls"});
    ASSERT_EQ(flipped.status, 0) << flipped.err;
    EXPECT_DOUBLE_EQ(LastNumber(flipped.out, "total"), -total);
    EXPECT_DOUBLE_EQ(LastNumber(flipped.out, "zero_gamma"), LastNumber(one.out, "zero_gamma"));

    std::ofstream(config / "contract-sizes.conf") << "EUR = 250000\nGBP = lots\n";
    const test::CliOutcome doubled = Run({"exposure", "--symbol", "EUR", "--contract", "MAR26-AM"});
    ASSERT_EQ(doubled.status, 0);
    EXPECT_NEAR(LastNumber(doubled.out, "total"), 2 * total, 1e-9 * std::fabs(total));
    EXPECT_TRUE(common::Contains(doubled.err, "contract-sizes.conf:2: ")) << doubled.err;

    const test::CliOutcome all = Run({"exposure", "--symbol", "EUR", "--all", "--csv"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out.rfind("strike,call,put,total\r\n", 0), 0U);
}

TEST_F(ProbabilityCliTest, ExposureRefusesBadUsage) {
    EXPECT_EQ(Run({"exposure", "--symbol", "EUR", "--all", "--contract", "MAR26-AM"}).status, 2);
    EXPECT_EQ(Run({"exposure", "--symbol", "EUR", "--sign", "long"}).status, 2);
    EXPECT_EQ(Run({"exposure", "--symbol", "XYZ"}).status, 2);
    EXPECT_EQ(Run({"exposure", "--symbol", "EUR", "--date", "31.02.2025"}).status, 2);
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
