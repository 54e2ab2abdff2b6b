#include <gtest/gtest.h>

#include "api/generated_folder.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& word) {
    return std::find(lines.begin(), lines.end(), word) != lines.end();
}

// The shell's completion and the calculations' default day, on one generated week.
class ShellCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = new test::TempProgramFolder();
        test::FillFolder(home_->Path(), true);
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }
    static test::CliOutcome Command(std::vector<std::string> words) {
        words.insert(words.begin(), {"--home", home_->Path().string()});
        return test::RunCli(words);
    }
    static std::string FirstContract() {
        const std::string panel = Command({"indicators", "--symbol", "EUR"}).out;
        const std::string key = "\"contract\": \"";
        const std::size_t at = panel.find(key) + key.size();
        return panel.substr(at, panel.find('"', at) - at);
    }

    static test::TempProgramFolder* home_;
};

test::TempProgramFolder* ShellCommands::home_ = nullptr;

TEST_F(ShellCommands, CompletionListsCommandsOptionsAndWhatTheFolderStores) {
    const std::vector<std::string> commands = Lines(Command({"__complete", "commands"}).out);
    EXPECT_TRUE(Has(commands, "serve") && Has(commands, "levels") && Has(commands, "vol"));
    EXPECT_FALSE(Has(commands, "__complete"));
    const std::vector<std::string> options = Lines(Command({"__complete", "options", "vol"}).out);
    EXPECT_TRUE(Has(options, "--term") && Has(options, "--contract") && Has(options, "--csv"));
    EXPECT_EQ(Lines(Command({"__complete", "symbols"}).out).size(), 6u);

    const std::vector<std::string> dates = Lines(Command({"__complete", "dates", "EUR"}).out);
    EXPECT_EQ(dates.size(), 5u);
    EXPECT_TRUE(Has(dates, "03.12.2012") && Has(dates, "07.12.2012"));
    const std::vector<std::string> contracts =
        Lines(Command({"__complete", "contracts", "EUR"}).out);
    EXPECT_TRUE(Has(contracts, FirstContract()));
    // Nothing to list is an empty answer, never an error in the user's command line.
    for (const std::vector<std::string>& words : {std::vector<std::string>{"__complete"},
                                                  {"__complete", "dates", "XAU"},
                                                  {"__complete", "options", "nothing"}}) {
        const test::CliOutcome outcome = Command(words);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "");
    }
    EXPECT_EQ(test::RunCli({"--home", "/nonexistent", "__complete", "contracts", "EUR"}).out, "");
}

// Without --date the latest stored day counts, as it does for indicators.
TEST_F(ShellCommands, HistogramAndTablesTakeTheLatestStoredDay) {
    const std::string contract = FirstContract();
    for (const char* command : {"histogram", "tables"}) {
        const test::CliOutcome latest =
            Command({command, "--symbol", "EUR", "--contract", contract});
        EXPECT_EQ(latest.status, 0) << latest.err;
        EXPECT_EQ(latest.out, Command({command, "--symbol", "EUR", "--contract", contract, "--date",
                                       "07.12.2012"})
                                  .out);
        const test::CliOutcome none = test::RunCli(
            {"--home", "/nonexistent", command, "--symbol", "EUR", "--contract", contract});
        EXPECT_EQ(none.status, 1);
        EXPECT_NE(none.err.find("EUR: no stored day"), std::string::npos) << none.err;
        EXPECT_EQ(test::RunCli({command, "--symbol", "EUR"}).status, 2) << command;
    }
}

}  // namespace
}  // namespace zarvex::cli
