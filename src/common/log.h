#pragma once

#include <string>
#include <string_view>
#include <type_traits>

#include "build_config.h"
#include "common/clock.h"
#include "common/program_folder.h"

// The program's diagnostic trace, "log.txt" in the program folder. It is switched on only by
// building with ZARVEX_DIAGNOSTIC_LOG; the delivered program never writes it, and then every
// Log call compiles to nothing, so callers may log freely inside loops.
namespace zarvex::common {

inline constexpr const char* kLogFileName = "log.txt";

// The diagnostic switch.
constexpr bool LogEnabled() {
    return build::kDiagnosticLog;
}

// Points the process-wide log at folder's log.txt with clock's time stamps (clock must outlive
// every later Log call). Until then the log uses ProgramFolder::FromEnvironment() and the
// system clock. Does nothing while the switch is off.
void ConfigureLog(const common::ProgramFolder& folder, const common::Clock& clock);

// What a log line can be made of: texts and numbers.
template <typename T>
concept LogPart = std::is_convertible_v<const T&, std::string_view> || std::is_arithmetic_v<T>;

namespace detail {

void WriteLogLine(std::string_view line);
void AppendLogNumber(std::string& line, double value);

template <typename Part>
void AppendLogPart(std::string& line, const Part& part) {
    if constexpr (std::is_convertible_v<const Part&, std::string_view>) {
        line.append(std::string_view(part));
    } else if constexpr (std::is_same_v<Part, char>) {
        line.push_back(part);
    } else if constexpr (std::is_same_v<Part, bool>) {
        line.append(part ? "1" : "0");
    } else if constexpr (std::is_integral_v<Part>) {
        line.append(std::to_string(part));
    } else {
        static_assert(std::is_floating_point_v<Part>, "log parts are texts and numbers");
        AppendLogNumber(line, static_cast<double>(part));
    }
}

}  // namespace detail

// Appends one line made of the parts (texts, integers, doubles) to the process-wide log. The
// switch is tested before anything is formatted. Callable from any thread.
template <LogPart... Parts>
void Log(const Parts&... parts) {
    if constexpr (LogEnabled()) {
        std::string line;
        (detail::AppendLogPart(line, parts), ...);
        detail::WriteLogLine(line);
    } else {
        ((void)parts, ...);
    }
}

}  // namespace zarvex::common
