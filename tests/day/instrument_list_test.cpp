#include "day/instrument_list.h"

#include <gtest/gtest.h>

#include "common/plain_host.h"
#include "common/text_table.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/stage_flags.h"
#include "support/temp_folder.h"

namespace zarvex::day {
namespace {

TEST(InstrumentList, SixInstrumentsWithTheirFiles) {
    test::TempProgramFolder home;
    common::PlainHost plain;
    InstrumentList list(home.Folder(), plain.AsHost());
    for (int i = 0; i < InstrumentList::kCount; ++i) {
        EXPECT_EQ(list.At(i).Symbol(), InstrumentList::kSymbols[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(InstrumentList::IndexOf("CAD"), 3);
    EXPECT_EQ(InstrumentList::IndexOf("WTI"), -1);
    // Three files per instrument; the download database belongs to the scheduler.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path() / "DB"),
                            std::filesystem::directory_iterator()),
              18);
}

TEST(InstrumentList, WithoutADbFolderEverythingStillRuns) {
    test::TempFolder home;
    common::PlainHost plain;
    common::TextTable texts(common::Language::kEnglish);
    InstrumentList list(common::ProgramFolder(home.Path()), plain.AsHost(&texts));
    EXPECT_EQ(list.RunCurrentDay(common::MakeDate(2012, 12, 8)).Flag(), 1);  // a Saturday
    EXPECT_TRUE(std::filesystem::is_empty(home.Path()));
}

TEST(InstrumentList, RunsEveryInstrumentInOrderOnTheDayItIsGiven) {
    test::TempProgramFolder home;
    reportgen::GeneratorOptions options;
    options.strikes = 3;
    const reportgen::ReportGenerator generator(options);
    const common::Date second = common::MakeDate(2012, 12, 4);
    for (common::Date d : reportgen::TradingDays(second - 30 * common::kSecondsPerDay, second)) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(d), home.Path(), &error))
            << error;
    }
    common::PlainHost plain;
    common::TextTable texts(common::Language::kEnglish);
    InstrumentList list(home.Folder(), plain.AsHost(&texts));
    EXPECT_EQ(list.RunPreviousDays(second).Flag(),
              1);  // processes the 3rd (and older, absent days)
    EXPECT_EQ(list.StoredDate(), second);
    EXPECT_EQ(plain.StatusTexts().back(),
              "Data processing for previous days is completed. The program is prepared to use.");
    EXPECT_EQ(list.RunCurrentDay().Flag(), 1);
    EXPECT_EQ(plain.StatusTexts().back(),
              "Data processing for the current day is completed. The program is prepared to use.");
    std::vector<std::string> order;
    for (const auto& text : plain.StatusTexts()) {
        if (text.find("(") != std::string::npos && text.find("04.12.2012") != std::string::npos) {
            order.push_back(text.substr(text.find('(') + 1, 3));
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}));
    for (int i = 0; i < InstrumentList::kCount; ++i) {
        EXPECT_EQ(list.At(i).GetStageFlag("20121203", storage::kStageExtract), 1);
        EXPECT_EQ(list.At(i).GetStageFlag("20121204", storage::kStageExtract), 1);
        EXPECT_EQ(list.At(i).GetStageFlag("20121204", storage::kStageUpload), 1);
    }
    // A later evening's day is handed over directly.
    const common::Date third = common::MakeDate(2012, 12, 5);
    std::string error;
    ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(third), home.Path(), &error));
    EXPECT_EQ(list.RunCurrentDay(third).Flag(), 1);
    EXPECT_EQ(list.At(5).GetStageFlag("20121205", storage::kStageUpload), 1);
}

}  // namespace
}  // namespace zarvex::day
