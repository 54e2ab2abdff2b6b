#include "acquisition/report_normaliser.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

namespace zarvex::acquisition {
namespace {

struct NormaliseCase {
    std::string received;
    std::string stored;
};

class NormaliseReportTest : public testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseReportTest, StoresCrLfLinesWithJul) {
    EXPECT_EQ(NormaliseReport(GetParam().received), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseReportTest,
    testing::Values(
        // A report ending in a line break gets one empty line from the closing zero byte.
        NormaliseCase{"A\r\nB\r\n", "A\r\nB\r\n\r\n"}, NormaliseCase{"A\nB\n", "A\r\nB\r\n\r\n"},
        NormaliseCase{"A\rB\r", "A\r\nB\r\n\r\n"}, NormaliseCase{"A\nB", "A\r\nB\r\n"},
        NormaliseCase{"A\n\nB", "A\r\n\r\nB\r\n"}, NormaliseCase{"A\r\rB", "A\r\n\r\nB\r\n"},
        NormaliseCase{"A\n\rB", "A\r\n\r\nB\r\n"},
        NormaliseCase{"EUR JLY13 CALL JLY14\n", "EUR JUL13 CALL JUL14\r\n\r\n"},
        NormaliseCase{"JLYJLY jly JL\nY", "JULJUL jly JL\r\nY\r\n"},
        // A zero byte inside garbage ends a line like any line break.
        NormaliseCase{std::string("a\0b", 3), "a\r\nb\r\n"}, NormaliseCase{"x", "x\r\n"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.received); });

}  // namespace
}  // namespace zarvex::acquisition
