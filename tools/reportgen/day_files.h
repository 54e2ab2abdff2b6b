#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/date.h"
#include "reportgen/report_generator.h"

namespace zarvex::reportgen {

// The exchange's trading days from..to, both included (weekends and exchange holidays out).
std::vector<common::Date> TradingDays(common::Date from, common::Date to);

// Writes INPUT/CUR_yyyymmdd.TXT and INPUT/FP_yyyymmdd.TXT under a program folder, making
// INPUT/, OUTPUT/ and DB/ when they are missing. False, with the reason, when a file could
// not be written.
bool WriteProgramFolderDay(const GeneratedDay& day, const std::filesystem::path& home,
                           std::string* error);

// Writes the day as a report server publishes it: toster/CUR_yyyymmdd.TXT and
// fp/yyyymmdd.txt under root (folders made when missing).
bool WriteServerDay(const GeneratedDay& day, const std::filesystem::path& root, std::string* error);

}  // namespace zarvex::reportgen
