#include "common/plain_host.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

#include "common/program_folder.h"
#include "common/text_id.h"

namespace zarvex::common {
namespace {

TEST(PlainHost, RecordsAndPrintsFromManyThreads) {
    std::ostringstream out;
    PlainHost host(&out);
    Host h = host.AsHost();
    {
        ScopedUiLock lock(h.lock);
        EXPECT_TRUE(host.IsLocked());
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i) {
            threads.emplace_back([&] {
                for (int k = 0; k < 100; ++k) {
                    h.ShowStatus("x");
                    h.PumpEvents();
                }
            });
        }
        for (auto& t : threads) {
            t.join();
        }
    }
    EXPECT_FALSE(host.IsLocked());
    EXPECT_EQ(host.StatusTexts().size(), 400u);
    EXPECT_EQ(host.PumpCount(), 400);
    h.ShowMessage("Message", "Text");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0], "Message: Text");
}

TEST(PlainHost, SpeaksEnglishWithoutATableAndItsTableWithOne) {
    PlainHost plain;
    EXPECT_EQ(plain.AsHost().Text(common::text::kProgramReady), "The program is prepared to use.");
    const common::TextTable russian(common::Language::kRussian);
    EXPECT_EQ(&plain.AsHost(&russian).Text(common::text::kProgramReady),
              &russian.Get(common::text::kProgramReady));
}

TEST(ProgramFolder, BuildsNamesInsideTheFolder) {
    ProgramFolder folder("/opt/z");
    EXPECT_EQ(folder.RootText(), "/opt/z/");
    EXPECT_EQ(folder.ReportFile(MakeDate(2012, 12, 7)).generic_string(),
              "/opt/z/INPUT/CUR_20121207.TXT");
    EXPECT_EQ(folder.ForwardPointFile(MakeDate(2040, 1, 2)).generic_string(),
              "/opt/z/INPUT/FP_20400102.TXT");
}

}  // namespace
}  // namespace zarvex::common
