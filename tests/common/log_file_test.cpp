#include "common/log_file.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/date.h"
#include "support/temp_folder.h"

namespace zarvex::common {
namespace {

class FixedClock final : public common::Clock {
public:
    common::Date Now() const override { return common::MakeDate(2040, 3, 5, 9, 7, 2); }
    void SleepFor(std::chrono::milliseconds) override {}
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class LogFileTest : public testing::Test {
protected:
    test::TempFolder folder_;
    FixedClock clock_;
    LogFile log_{folder_ / "log.txt", clock_};
};

TEST_F(LogFileTest, FirstLineCreatesTheFileAndLaterLinesAppend) {
    EXPECT_FALSE(std::filesystem::exists(log_.Path()));
    EXPECT_TRUE(log_.Append("download started"));
    EXPECT_TRUE(log_.Append(""));
    EXPECT_TRUE(log_.Append("20400305"));
    EXPECT_EQ(test::ReadFile(log_.Path()),
              "05.03 09:07:02 download started\n05.03 09:07:02 \n05.03 09:07:02 20400305\n");
}

TEST_F(LogFileTest, KeepsWhatTheFileAlreadyHolds) {
    test::WriteFile(log_.Path(), "earlier run\n");
    EXPECT_TRUE(log_.Append("next run"));
    EXPECT_EQ(Lines(test::ReadFile(log_.Path())),
              (std::vector<std::string>{"earlier run", "05.03 09:07:02 next run"}));
}

TEST_F(LogFileTest, AnUnwritablePlaceLosesTheLineQuietly) {
    LogFile nowhere(folder_ / "no such folder" / "log.txt", clock_);
    EXPECT_FALSE(nowhere.Append("lost"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "no such folder"));
}

TEST_F(LogFileTest, LinesFromSeveralThreadsStayWhole) {
    constexpr int kThreads = 6;
    constexpr int kLinesEach = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            const std::string message = "thread " + std::to_string(t) + " " + std::string(60, 'x');
            for (int i = 0; i < kLinesEach; ++i) {
                log_.Append(message);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto lines = Lines(test::ReadFile(log_.Path()));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesEach));
    std::vector<int> per_thread(kThreads, 0);
    for (const auto& line : lines) {
        ASSERT_EQ(line.size(), std::string("05.03 09:07:02 thread 0 ").size() + 60) << line;
        ++per_thread[static_cast<std::size_t>(line[22] - '0')];
    }
    for (int count : per_thread) {
        EXPECT_EQ(count, kLinesEach);
    }
}

}  // namespace
}  // namespace zarvex::common
