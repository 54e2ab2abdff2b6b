#include "common/log.h"

#include <gtest/gtest.h>

#include <string>

#include "common/date.h"
#include "support/temp_folder.h"

namespace zarvex::common {
namespace {

class FixedClock final : public common::Clock {
public:
    common::Date Now() const override { return common::MakeDate(2038, 1, 19, 3, 14, 8); }
    void SleepFor(std::chrono::milliseconds) override {}
};

// The process-wide log writes only in a build with the diagnostic switch; the delivered build
// must not leave a log.txt behind, whatever is logged.
TEST(ProcessLog, WritesLogTxtInTheProgramFolderOnlyWhenSwitchedOn) {
    test::TempProgramFolder home;
    static FixedClock clock;
    ConfigureLog(home.Folder(), clock);
    Log("Next trading day ", common::DayText(common::MakeDate(2038, 1, 19)), ' ', 42, ' ', 0.25);
    Log();
    const auto file = home.Path() / kLogFileName;
    if (LogEnabled()) {
        EXPECT_EQ(test::ReadFile(file),
                  "19.01 03:14:08 Next trading day 19.01.2038 42 0.25\n19.01 03:14:08 \n");
    } else {
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_TRUE(std::filesystem::is_empty(home.Path() / "INPUT"));
    }
}

TEST(ProcessLog, PartsAreJoinedWithoutSeparators) {
    std::string line;
    detail::AppendLogPart(line, "sql: ");
    detail::AppendLogPart(line, std::string("SELECT 1"));
    detail::AppendLogPart(line, std::string_view(" rows="));
    detail::AppendLogPart(line, std::int64_t{-7});
    detail::AppendLogPart(line, ' ');
    detail::AppendLogPart(line, true);
    detail::AppendLogPart(line, ' ');
    detail::AppendLogPart(line, 1.5);
    EXPECT_EQ(line, "sql: SELECT 1 rows=-7 1 1.5");
}

}  // namespace
}  // namespace zarvex::common
