#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/date.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/cli_runner.h"

namespace zarvex::test {

// Generated days of every symbol in a program folder, run as the command line runs them up to
// (and, unless told, with) the last day.
inline void FillFolder(const std::filesystem::path& home, bool run_last_day) {
    reportgen::GeneratorOptions options;
    options.strikes = 8;
    const reportgen::ReportGenerator generator(options);
    const std::string h = home.string();
    for (common::Date d :
         reportgen::TradingDays(common::MakeDate(2012, 12, 3), common::MakeDate(2012, 12, 7))) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(d), home, &error));
        if (run_last_day || d != common::MakeDate(2012, 12, 7)) {
            const CliOutcome day =
                RunCli({"--home", h, "process-day", "--date", common::DateKey(d)});
            ASSERT_EQ(day.status, 0) << day.err;
        }
    }
}

}  // namespace zarvex::test
