#include "reportgen/day_files.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "common/calendar.h"
#include "common/program_folder.h"

namespace zarvex::reportgen {

namespace {

bool MakeFolder(const std::filesystem::path& folder, std::string* error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        if (error != nullptr) {
            *error = "cannot make " + folder.string() + ": " + code.message();
        }
        return false;
    }
    return true;
}

bool WriteBytes(const std::filesystem::path& path, std::string_view bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        if (error != nullptr) {
            *error = "cannot write " + path.string();
        }
        return false;
    }
    return true;
}

}  // namespace

std::vector<common::Date> TradingDays(common::Date from, common::Date to) {
    std::vector<common::Date> days;
    for (common::Date day = common::DayStart(from); day <= to; day += common::kSecondsPerDay) {
        if (common::IsTradingDay(day)) {
            days.push_back(day);
        }
    }
    return days;
}

bool WriteProgramFolderDay(const GeneratedDay& day, const std::filesystem::path& home,
                           std::string* error) {
    for (const char* folder : {"INPUT", "OUTPUT", "DB"}) {
        if (!MakeFolder(home / folder, error)) {
            return false;
        }
    }
    const common::ProgramFolder folder(home);
    return WriteBytes(folder.ReportFile(day.day), day.report, error) &&
           WriteBytes(folder.ForwardPointFile(day.day), day.forward_points, error);
}

bool WriteServerDay(const GeneratedDay& day, const std::filesystem::path& root,
                    std::string* error) {
    if (!MakeFolder(root / "toster", error) || !MakeFolder(root / "fp", error)) {
        return false;
    }
    const std::string key = common::DateKey(day.day);
    return WriteBytes(root / "toster" / ("CUR_" + key + ".TXT"), day.raw_report, error) &&
           WriteBytes(root / "fp" / (key + ".txt"), day.raw_forward_points, error);
}

}  // namespace zarvex::reportgen
