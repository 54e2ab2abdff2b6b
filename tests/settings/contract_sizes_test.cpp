#include "settings/contract_sizes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace zarvex::settings {
namespace {

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(ContractSizes, DefaultsWithoutAFile) {
    test::TempFolder folder;
    std::vector<std::string> problems;
    const ContractSizes sizes = ContractSizes::Read(folder / "missing.conf", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(sizes.Of("EUR"), 125000);
    EXPECT_EQ(sizes.Of("GBP"), 62500);
    EXPECT_EQ(sizes.Of("JPY"), 125000);
    EXPECT_EQ(sizes.Of("WTI"), 0);
}

TEST(ContractSizes, ReadsGoodLinesAndNamesEveryBadOneWithFileAndLine) {
    test::TempFolder folder;
    const auto file = ContractSizesPath(folder.Path());
    WriteText(file,
              "# mine\r\nEUR = 250000\r\n\nGBP 62500\nXYZ = 5\nAUD = -3\nCAD = 1e5\nCHF=99 # ok\n");
    std::vector<std::string> problems;
    const ContractSizes sizes = ContractSizes::Read(file, problems);
    EXPECT_EQ(sizes.Of("EUR"), 250000);
    EXPECT_EQ(sizes.Of("CHF"), 99);
    EXPECT_EQ(sizes.Of("AUD"), 100000);
    EXPECT_EQ(sizes.Of("CAD"), 100000);
    ASSERT_EQ(problems.size(), 4U);
    EXPECT_EQ(problems[0].rfind(file.string() + ":4: ", 0), 0U) << problems[0];
    EXPECT_NE(problems[1].find(":5: unknown symbol \"XYZ\""), std::string::npos) << problems[1];
    EXPECT_NE(problems[2].find(":6: "), std::string::npos);
    EXPECT_NE(problems[3].find(":7: "), std::string::npos);
}

TEST(ContractSizes, WritesWhatItReadsBack) {
    test::TempFolder folder;
    const auto file = ContractSizesPath(folder / "new");
    ContractSizes sizes;
    ASSERT_TRUE(sizes.Set("JPY", 62500));
    EXPECT_FALSE(sizes.Set("JPY", 0));
    EXPECT_FALSE(sizes.Set("WTI", 1000));
    ASSERT_TRUE(sizes.Write(file));
    std::vector<std::string> problems;
    EXPECT_EQ(ContractSizes::Read(file, problems), sizes);
    EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace zarvex::settings
