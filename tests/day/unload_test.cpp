#include "export/unload.h"

#include <gtest/gtest.h>

#include "day_fixture.h"
#include "export/unload_template.h"
#include "storage/condition_bound.h"
#include "storage/stage_flags.h"

namespace zarvex::exporting {
namespace {

using test::ReadFile;
using test::WriteFile;

const common::Date kFriday = common::MakeDate(2012, 12, 7);

class UnloadTest : public ::testing::Test {
protected:
    UnloadTest() {
        // Three rows meet the default condition, one does not (oi 5), one is another day.
        fx.AddRow({"1.2900", "0.0123", "0.55", "10", "1500", "20", "1", "EUR", "CALL", "DEC12",
                   "07.12.2012", "07.12.2012"});
        fx.AddRow({"1.3000", "0.0080", "0.45", "5", "700", "-3", "-1", "EUR", "CALL", "DEC12",
                   "07.12.2012", "07.12.2012"});
        fx.AddRow({"1.2800", "0.0050", "0.25", "0", "12", "0", "", "EUR", "PUT", "DEC12",
                   "07.12.2012", "07.12.2012"});
        fx.AddRow({"1.2700", "0.0040", "0.20", "0", "5", "0", "1", "EUR", "PUT", "DEC12",
                   "07.12.2012", "07.12.2012"});
        fx.AddRow({"1.2700", "0.0040", "0.20", "0", "500", "0", "1", "EUR", "PUT", "DEC12",
                   "07.12.2012", "06.12.2012"});
    }

    int Unload(common::Date date = kFriday) {
        common::Host host = fx.Host();
        last_ = UnloadDay(fx.Folder(), fx.Stores(), host, date);
        return last_.Flag();
    }
    std::filesystem::path Out(const std::string& name) { return fx.Home() / "OUTPUT" / name; }
    int Flag(const char* key = "20121207") {
        return storage::GetStageFlag(fx.Stores().operation, key, storage::kStageUpload);
    }

    test::DayFixture fx;
    common::Outcome last_ = common::Outcome::Done();  // of the latest Unload()
};

TEST_F(UnloadTest, DefaultTemplatesWriteTheRowsByteForByte) {
    EXPECT_EQ(Unload(), 1);
    EXPECT_EQ(ReadFile(Out("EUR20121207.TXT")),
              "1.29000,0.01230,0.55000,10,1500,20,1,EUR,CALL,DEC12,07.12.2012,07.12.2012\r\n"
              "1.30000,0.00800,0.45000,5,700,-3,-1,EUR,CALL,DEC12,07.12.2012,07.12.2012\r\n"
              "1.28000,0.00500,0.25000,0,12,0,0,EUR,PUT,DEC12,07.12.2012,07.12.2012\r\n");
    EXPECT_EQ(Flag(), 1);
    // Done once: a second run does not touch the file.
    std::filesystem::remove(Out("EUR20121207.TXT"));
    EXPECT_EQ(Unload(), 1);
    EXPECT_FALSE(std::filesystem::exists(Out("EUR20121207.TXT")));
}

struct TemplateCase {
    const char* name;
    const char* data_template;
    const char* file_template;
    const char* file;
    const char* content;  // nullptr: no file
    int flag;
};

class UnloadTemplates : public UnloadTest, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(UnloadTemplates, WritesWhatTheTemplatesSay) {
    const TemplateCase& c = GetParam();
    fx.Stores().settings.SetTemplateOutputData(c.data_template);
    fx.Stores().settings.SetTemplateFileName(c.file_template);
    EXPECT_EQ(Unload(), 1);
    if (c.content == nullptr) {
        EXPECT_FALSE(std::filesystem::exists(Out(c.file)));
    } else {
        EXPECT_EQ(ReadFile(Out(c.file)), c.content);
    }
    EXPECT_EQ(Flag(), c.flag);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnloadTemplates,
    ::testing::Values(TemplateCase{"BlankConditionMeansAllRows", "{oi,sign}{ }{;}",
                                   "{SYM}{YEAR}{MONTH}{DAY}", "EUR20121207.TXT",
                                   "1500;1\r\n700;-1\r\n12;0\r\n5;1\r\n", 1},
                      TemplateCase{"BlankAfterCommaDropsTheName", "{strike, price}{oi>1000}{,}",
                                   "{SYM}", "EUR.TXT", "1.29000\r\n", 1},
                      TemplateCase{"OnlyOneCharacterOfTheSeparatorGoes", "{oi,doi}{oi>1000}{;;}",
                                   "{SYM}", "EUR.TXT", "1500;;20;\r\n", 1},
                      TemplateCase{"UnknownNamesOneRowIsDeleted", "{Strike,oi }{oi>1000}{,}",
                                   "{SYM}", "EUR.TXT", nullptr, 0},
                      TemplateCase{"UnknownNamesTwoRowsStay", "{Strike}{oi>600}{,}", "{SYM}",
                                   "EUR.TXT", "\r\n\r\n", 1},
                      TemplateCase{"TextOutsideBracesIsDropped", "{symb}{oi>1000}{,}",
                                   "{SYM}_{YEAR}x", "EUR2012.TXT", "EUR\r\n", 1},
                      TemplateCase{"OptAndContAddNothing", "{oi}{oi>1000}{,}",
                                   "{sym}{OPT}{CONT}{DAY}", "07.TXT", "1500\r\n", 1},
                      TemplateCase{"MissingSeparatorIsAComma", "{oi,doi}{oi>1000}", "{SYM}",
                                   "EUR.TXT", "1500,20\r\n", 1},
                      TemplateCase{"MissingConditionMeansAllRows", "{oi}", "{SYM}", "EUR.TXT",
                                   "1500\r\n700\r\n12\r\n5\r\n", 1},
                      TemplateCase{"MultiByteSeparatorIsCutWhole", "{oi,doi}{oi>1000}{→}", "{SYM}",
                                   "EUR.TXT", "1500→20\r\n", 1}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(UnloadTest, NonTradingDaysAndSwitchesReturnOneAndWriteNothing) {
    EXPECT_EQ(Unload(common::MakeDate(2012, 12, 8)), 1);   // Saturday
    EXPECT_EQ(Unload(common::MakeDate(2012, 12, 25)), 1);  // Christmas
    fx.Stores().settings.SetIsUpload(0);
    EXPECT_EQ(Unload(), 1);
    fx.Stores().settings.SetIsUpload(1);
    fx.Stores().settings.SetIsExtract(0);
    EXPECT_EQ(Unload(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(fx.Home() / "OUTPUT"));
    EXPECT_EQ(Flag(), 0);
}

TEST_F(UnloadTest, BadConditionLeavesAnEmptyFileAndNoFlag) {
    fx.Stores().settings.SetTemplateOutputData("{oi}{oi>1 AND}{,}");
    EXPECT_EQ(Unload(), 0);
    EXPECT_EQ(ReadFile(Out("EUR20121207.TXT")), "");
    EXPECT_EQ(Flag(), 0);
}

TEST_F(UnloadTest, ASecondStatementInTheConditionNeverRuns) {
    fx.Stores().settings.SetTemplateOutputData("{oi}{oi>1); DELETE FROM dating; SELECT (1}{,}");
    EXPECT_EQ(Unload(), 0);
    EXPECT_EQ(fx.Count(), 6);  // seed row + five
    EXPECT_EQ(Flag(), 0);
}

TEST_F(UnloadTest, AConditionThatWouldLeaveItsGroupNeverRunsAndIsNamed) {
    // Stored without the dialog's check, each would reach every day of the file: one closes
    // the group early, the other hides the closing in parameter tokens that swallow a quote.
    for (const std::string condition : {"oi>0) OR (oi>0", "oi>$a(') ) OR (1=1 OR oi>$b(')"}) {
        fx.Stores().settings.SetTemplateOutputData("{strike,symb,date}{" + condition + "}{,}");
        EXPECT_EQ(Unload(), 0) << condition;
        EXPECT_EQ(ReadFile(Out("EUR20121207.TXT")), "") << condition;
        EXPECT_EQ(Flag(), 0) << condition;
        EXPECT_NE(last_.Reason().find("Teplate_Outputdata \"" + condition + "\": "),
                  std::string::npos)
            << last_.Reason();
    }
}

TEST_F(UnloadTest, AConditionThatRunsTooLongIsStoppedAndNamed) {
    const auto limit = storage::ConditionBound::Limit();
    storage::ConditionBound::SetLimit(std::chrono::milliseconds(0));
    // Enough steps of SQLite's machine per row for the bound to look at the clock.
    std::string condition = "oi";
    for (int i = 0; i < 400; ++i) {
        condition += "+1";
    }
    condition += ">0";
    fx.Stores().settings.SetTemplateOutputData("{oi}{" + condition + "}{,}");
    const int result = Unload();
    storage::ConditionBound::SetLimit(limit);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(Out("EUR20121207.TXT")), "");
    EXPECT_EQ(Flag(), 0);
    EXPECT_NE(last_.Reason().find("\": stopped after running longer than 0 ms"), std::string::npos)
        << last_.Reason();
}

TEST_F(UnloadTest, MissingOrReadOnlyOutputFolderFailsWithoutFlag) {
    fx.Stores().settings.SetOutputFolder((fx.Home() / "NOWHERE").string() + "/");
    EXPECT_EQ(Unload(), 0);
    EXPECT_EQ(Flag(), 0);
    if (geteuid() != 0) {  // root writes anywhere
        std::filesystem::permissions(fx.Home() / "OUTPUT", std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
        fx.Stores().settings.SetOutputFolder((fx.Home() / "OUTPUT").string() + "/");
        EXPECT_EQ(Unload(), 0);
        EXPECT_EQ(Flag(), 0);
    }
}

TEST_F(UnloadTest, FolderWithoutTrailingSlashStillReceivesTheFiles) {
    WriteFile(fx.Home() / "INPUT" / "FP_20121207.TXT", "EUR 9.5\r\n");
    fx.Stores().settings.SetOutputFolder((fx.Home() / "OUTPUT").string());
    EXPECT_EQ(Unload(), 1);
    EXPECT_TRUE(std::filesystem::exists(Out("EUR20121207.TXT")));
    EXPECT_TRUE(std::filesystem::exists(Out("FP_20121207.TXT")));
    EXPECT_FALSE(std::filesystem::exists(fx.Home() / "OUTPUTEUR20121207.TXT"));
}

TEST_F(UnloadTest, ForwardPointsOfTheNextTradingDayAreCopied) {
    // Friday 7 December: the next trading day is Monday the 10th.
    WriteFile(fx.Home() / "INPUT" / "FP_20121210.TXT", "EUR 10.5\r\n");
    WriteFile(fx.Home() / "INPUT" / "FP_20121207.TXT", "EUR 9.5\r\n");
    EXPECT_EQ(Unload(), 1);
    EXPECT_EQ(ReadFile(Out("FP_20121210.TXT")), "EUR 10.5\r\n");
    EXPECT_FALSE(std::filesystem::exists(Out("FP_20121207.TXT")));
}

TEST_F(UnloadTest, ForwardPointsFallBackToTheDayWhenTheNextIsEmptyOrMissing) {
    WriteFile(fx.Home() / "INPUT" / "FP_20121207.TXT", "EUR 9.5\r\n");
    EXPECT_EQ(Unload(), 1);  // next day's file missing: the evening of the day itself
    EXPECT_EQ(ReadFile(Out("FP_20121207.TXT")), "EUR 9.5\r\n");

    test::DayFixture other;
    other.AddRow({"1.2900", "0.0123", "0.55", "10", "1500", "20", "1", "EUR", "CALL", "DEC12",
                  "07.12.2012", "07.12.2012"});
    WriteFile(other.Home() / "INPUT" / "FP_20121210.TXT", "");
    WriteFile(other.Home() / "INPUT" / "FP_20121207.TXT", "EUR 8\r\n");
    common::Host host = other.Host();
    EXPECT_EQ(UnloadDay(other.Folder(), other.Stores(), host, kFriday).Flag(), 1);
    EXPECT_EQ(ReadFile(other.Home() / "OUTPUT" / "FP_20121207.TXT"), "EUR 8\r\n");
    EXPECT_FALSE(std::filesystem::exists(other.Home() / "OUTPUT" / "FP_20121210.TXT"));
}

// The setting is an absolute path: a copy of a program folder still names the original's OUTPUT/.
TEST_F(UnloadTest, ACopiedFolderDoesNotUnloadIntoTheFolderItCameFrom) {
    test::TempFolder temp;
    const std::filesystem::path copy = temp / "copy";
    std::filesystem::copy(fx.Home(), copy, std::filesystem::copy_options::recursive);
    const common::ProgramFolder copied(copy);
    settings::InstrumentStores stores = settings::OpenInstrumentStores(copied, "EUR");
    ASSERT_EQ(stores.settings.OutputFolder(), fx.Home().string() + "/OUTPUT/");

    common::Host host = fx.Host();
    const common::Outcome refused = UnloadDay(copied, stores, host, kFriday);
    EXPECT_FALSE(refused.IsDone());
    EXPECT_NE(refused.Reason().find(" is the output folder of another program folder, " +
                                    fx.Home().string() + ", not of this one"),
              std::string::npos)
        << refused.Reason();
    EXPECT_NE(refused.Reason().find("\"Folder for unloading files\", or in the OutputFolder "
                                    "setting of " +
                                    (copy / "DB" / "EUR_config.lql").string()),
              std::string::npos)
        << refused.Reason();
    EXPECT_TRUE(std::filesystem::is_empty(fx.Home() / "OUTPUT"));
    EXPECT_EQ(storage::GetStageFlag(stores.operation, "20121207", storage::kStageUpload), 0);

    // Once the user sets the copy's own folder, the day goes there.
    stores.settings.SetOutputFolder(copy.string() + "/OUTPUT/");
    EXPECT_TRUE(UnloadDay(copied, stores, host, kFriday).IsDone());
    EXPECT_TRUE(std::filesystem::exists(copy / "OUTPUT" / "EUR20121207.TXT"));
}

struct OutputFolderCase {
    const char* name;
    const char* made;    // a file made under the temporary folder ("" for none)
    const char* output;  // the setting, under the temporary folder; "HOME" is the fixture's
    bool written;
};

class UnloadOutputFolders : public UnloadTest,
                            public ::testing::WithParamInterface<OutputFolderCase> {};

// Only another program folder's OUTPUT/ is refused; whatever else the user chose is kept.
TEST_P(UnloadOutputFolders, KeepWhatTheUserChoseExceptAnotherProgramFolder) {
    const OutputFolderCase& c = GetParam();
    test::TempFolder temp;
    if (*c.made != '\0') {
        std::filesystem::create_directories((temp / c.made).parent_path());
        WriteFile(temp / c.made, "");
    }
    std::filesystem::create_directory_symlink(fx.Home(), temp / "link");
    const std::filesystem::path output = temp / c.output;
    std::filesystem::create_directories(output);
    fx.Stores().settings.SetOutputFolder(output.string());
    EXPECT_EQ(Unload(), c.written ? 1 : 0) << last_.Reason();
    EXPECT_EQ(std::filesystem::exists(output / "EUR20121207.TXT"), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnloadOutputFolders,
    ::testing::Values(
        OutputFolderCase{"PlainFolder", "", "plain/", true},
        OutputFolderCase{"AnOutputBesideADbOfOtherFiles", "x/DB/notes.lql", "x/OUTPUT/", true},
        OutputFolderCase{"TheOutputOfAFolderWithADownloadDatabase", "y/DB/download.lql", "y/OUTPUT",
                         false},
        OutputFolderCase{"TheOutputOfAFolderWithQuotes", "z/DB/CHF_data.lql", "z/OUTPUT/.", false},
        OutputFolderCase{"ItsOwnOutputThroughALink", "", "link/OUTPUT/", true}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(UnloadTemplate, SplitsLikeThePatterns) {
    const UnloadTemplate t = ParseUnloadTemplate("x{strike,price, oi,,date}y{ }{;;}{extra}");
    EXPECT_EQ(t.fields, (std::vector<std::string>{"strike", "price", ",date"}));
    EXPECT_EQ(t.condition, "");
    EXPECT_EQ(t.separator, ";;");
    const UnloadTemplate multi = ParseUnloadTemplate("{oi}{oi>1\nAND\ndoi>0}{,}");
    EXPECT_EQ(multi.condition, "oi>1\nAND\ndoi>0");
    const UnloadTemplate none = ParseUnloadTemplate("no braces");
    EXPECT_TRUE(none.fields.empty());
    EXPECT_EQ(none.separator, ",");
    EXPECT_EQ(UnloadFileName("{SYM}{YEAR}{MONTH}{DAY}", "eur", common::MakeDate(2040, 2, 29)),
              "EUR20400229.TXT");
}

}  // namespace
}  // namespace zarvex::exporting
