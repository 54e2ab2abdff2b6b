#include "analytics/forward_points.h"

#include <fstream>
#include <string>

#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

using common::Date;

// The number starts after the symbol and one separator.
constexpr std::size_t kValueColumn = 4;

// The downloaded files end in a zero byte; a line is only read up to its first one.
std::string_view UpToNul(std::string_view line) {
    return line.substr(0, line.find('\0'));
}

}  // namespace

double GetFPFromFile(const common::ProgramFolder& folder, Date date, std::string_view symbol,
                     const common::Host& host) {
    if (date <= 0) {
        host.ShowMessage("Сообщение ZR", "Неверно задана дата в функции GetFPFromFile");
        return 0.0;
    }
    const auto path = folder.ForwardPointFile(date);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        common::Log("Forward points: cannot open ", path.string());
        return 0.0;
    }
    std::string line;
    while (std::getline(file, line)) {
        const std::string_view text = UpToNul(line);
        if (common::Contains(text, symbol)) {
            const std::string_view value =
                text.size() > kValueColumn ? text.substr(kValueColumn) : std::string_view();
            return common::ToDouble(value);
        }
    }
    common::Log("Forward points: no line for ", symbol, " in ", path.string());
    return 0.0;
}

double ResolveForwardPoint(const common::ProgramFolder& folder, Date selected_day,
                           std::string_view symbol, int fp_switch, const common::Host& host) {
    if (fp_switch != 1) {
        return 0.0;
    }
    // Days that no date key can name have no file; this also keeps the day steps in range.
    if (selected_day < common::MakeDate(common::kFirstCalendarYear, 1, 1) ||
        selected_day > common::MakeDate(common::kLastCalendarYear, 12, 1)) {
        return 0.0;
    }
    const Date next = common::NextTradingDay(selected_day);
    const double point = GetFPFromFile(folder, next, symbol, host);
    if (point != 0.0) {
        return point;
    }
    return GetFPFromFile(folder, common::PreviousTradingDay(next), symbol, host);
}

}  // namespace zarvex::analytics
