#include "reportgen/contract_schedule.h"

#include <algorithm>
#include <string_view>

namespace zarvex::reportgen {

namespace {

using common::Date;
using common::kSecondsPerDay;

constexpr std::string_view kMonthCodes[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

constexpr int kFriday = 5;
constexpr int kWednesday = 3;

std::string MonthCode(int year, int month, bool raw) {
    std::string code(month == 7 && raw ? "JLY" : kMonthCodes[month - 1]);
    const int yy = year % 100;
    code += static_cast<char>('0' + yy / 10);
    code += static_cast<char>('0' + yy % 10);
    return code;
}

Contract Make(int year, int month, std::string_view suffix, Date expiration, int listed_days,
              ContractStyle style) {
    Contract contract;
    contract.code = MonthCode(year, month, false) + std::string(suffix);
    contract.raw_code = MonthCode(year, month, true) + std::string(suffix);
    contract.expiration = expiration;
    contract.listed = expiration - static_cast<Date>(listed_days) * kSecondsPerDay;
    contract.style = style;
    return contract;
}

bool Listed(const Contract& contract, Date day) {
    return contract.listed <= day && day <= contract.expiration;
}

}  // namespace

Date MonthlyExpiration(int year, int month) {
    Date day = common::MakeDate(year, month, 1);
    while (common::Weekday(day) != kWednesday) {
        day += kSecondsPerDay;
    }
    return day + 14 * kSecondsPerDay - 12 * kSecondsPerDay;
}

std::vector<Contract> ListedContracts(Date day, bool instrument, const ScheduleOptions& options) {
    const int american_days = instrument && options.full ? 190 : 100;
    const int european_days = options.full ? 280 : 120;
    const int weekly_days = options.full ? 35 : 21;

    std::vector<Contract> contracts;
    const common::CivilTime civil = common::ToCivil(day);
    // Enough months ahead to cover the longest listing window.
    for (int ahead = 0; ahead <= 10; ++ahead) {
        const int index = civil.month - 1 + ahead;
        const int year = civil.year + index / 12;
        const int month = index % 12 + 1;
        const Date expiration = MonthlyExpiration(year, month);
        const Contract american =
            Make(year, month, "-AM", expiration, american_days, ContractStyle::kAmerican);
        if (Listed(american, day)) {
            contracts.push_back(american);
        }
        if (!instrument || month % 3 != 0) {
            continue;
        }
        const Contract european =
            Make(year, month, "-EU", expiration, european_days, ContractStyle::kEuropean);
        if (Listed(european, day)) {
            contracts.push_back(european);
        }
        if (options.plain_codes) {
            const Contract plain =
                Make(year, month, "", expiration, european_days, ContractStyle::kPlain);
            if (Listed(plain, day)) {
                contracts.push_back(plain);
            }
        }
    }
    if (instrument) {
        Date friday = common::DayStart(day);
        while (common::Weekday(friday) != kFriday) {
            friday += kSecondsPerDay;
        }
        for (; friday <= day + static_cast<Date>(weekly_days) * kSecondsPerDay;
             friday += 7 * kSecondsPerDay) {
            const common::CivilTime f = common::ToCivil(friday);
            if (MonthlyExpiration(f.year, f.month) == friday) {
                continue;
            }
            const std::string week = "-W" + std::to_string((f.day - 1) / 7 + 1);
            const Contract weekly =
                Make(f.year, f.month, week, friday, weekly_days, ContractStyle::kWeekly);
            if (Listed(weekly, day)) {
                contracts.push_back(weekly);
            }
        }
    }
    std::stable_sort(contracts.begin(), contracts.end(), [](const Contract& a, const Contract& b) {
        return a.expiration < b.expiration;
    });
    return contracts;
}

}  // namespace zarvex::reportgen
