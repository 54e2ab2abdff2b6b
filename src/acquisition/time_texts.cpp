#include "acquisition/time_texts.h"

#include <array>

#include "common/text.h"

namespace zarvex::acquisition {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string MonthNumber(std::string_view name) {
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (kMonthNames[i] == name) {
            const int month = static_cast<int>(i) + 1;
            return (month < 10 ? "0" : "") + std::to_string(month);
        }
    }
    return {};
}

}  // namespace

std::string DateHeaderText(std::string_view answer) {
    std::size_t start = 0;
    for (int line = 0; line < 5 && start < answer.size(); ++line) {
        std::size_t end = answer.find('\n', start);
        end = end == std::string_view::npos ? answer.size() : end + 1;
        const std::string_view text = answer.substr(start, end - start);
        if (common::Contains(text, "Date:")) {
            const std::string_view tail = text.size() > 26 ? text.substr(text.size() - 26) : text;
            return common::ToUpperAscii(tail.substr(0, 20));
        }
        start = end;
    }
    return {};
}

common::Date ParseHeaderTime(std::string_view kept) {
    if (kept.size() < 20) {
        return common::kInvalidDate;
    }
    std::string text(kept.substr(7, 4));     // year
    text += MonthNumber(kept.substr(3, 3));  // month
    text += kept.substr(0, 2);               // day
    text += kept.substr(12, 2);              // hour
    text += kept.substr(15, 2);              // minute
    text += kept.substr(18, 2);              // second
    return common::ParseDate(text, "%yyyy%mm%dd%hh%ii%ss");
}

common::Date ThirdSunday(int year, int month) {
    const common::Date first = common::MakeDate(year, month, 1);
    const int to_sunday = (7 - common::Weekday(first)) % 7;
    return first + (to_sunday + 14) * common::kSecondsPerDay;
}

common::Date ToExchangeTime(common::Date greenwich) {
    const common::CivilTime civil = common::ToCivil(greenwich);
    int offset = -6;
    if (civil.month >= 3 && greenwich >= ThirdSunday(civil.year, 3) + 8 * 3600) {
        offset = -5;
    }
    if (civil.month >= 11 && greenwich >= ThirdSunday(civil.year, 11) + 7 * 3600) {
        offset = -6;
    }
    return greenwich + offset * 3600;
}

common::Date ParseExchangeTimePage(std::string_view page) {
    constexpr std::string_view kMarker = "EST: ";
    // The page is read as zero-terminated text.
    page = page.substr(0, page.find('\0'));
    const std::size_t at = page.find(kMarker);
    const std::size_t from = at == std::string_view::npos ? 4 : at + kMarker.size();
    if (from >= page.size()) {
        return common::kInvalidDate;
    }
    return common::ParseDate(page.substr(from, 17), "%yyyy%mm%dd %hh:%ii:%ss");
}

std::string HttpDateText(common::Date greenwich) {
    static constexpr std::array<std::string_view, 7> kDays{"Sun", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat"};
    static constexpr std::array<std::string_view, 12> kMonths{
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const common::CivilTime civil = common::ToCivil(greenwich);
    std::string text(kDays[static_cast<std::size_t>(common::Weekday(greenwich))]);
    text += ", ";
    text += common::FormatDate(greenwich, "%dd");
    text += ' ';
    text += kMonths[static_cast<std::size_t>(civil.month - 1)];
    text += ' ';
    text += common::FormatDate(greenwich, "%yyyy %hh:%ii:%ss");
    text += " GMT";
    return text;
}

}  // namespace zarvex::acquisition
