#include <optional>
#include <ostream>

#include "analytics/prices.h"
#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/calendar.h"
#include "common/clock.h"
#include "common/text.h"

namespace zarvex::cli {

namespace {

int HolidayYear(const Arguments& args) {
    const std::string text = args.Required("year");
    if (text == std::to_string(common::kCurrentYear)) {
        return common::kCurrentYear;
    }
    const auto year =
        args.IntInRange("year", common::kFirstCalendarYear, common::kLastCalendarYear);
    return *year;
}

}  // namespace

int CmdPrice(Context& ctx, const Words& words) {
    const Arguments args(words, {"strike", "symbol", "option", "premium", "fp", "type"});
    RefusePositional(args);
    const double strike = args.RequiredDouble("strike", false);
    const std::string symbol = args.Required("symbol");
    const std::string option = args.Required("option");
    const std::optional<common::Side> side = common::SideFromText(option);
    if (!side) {
        throw UsageError("--option must be CALL or PUT: " + option);
    }
    const double premium = args.RequiredDouble("premium", false);
    const double forward_point = args.RequiredDouble("fp", true);
    args.Required("type");
    const common::PriceType type = common::PriceTypeFromCode(static_cast<std::int8_t>(
        *args.IntInRange("type", common::PriceTypeCode(common::PriceType::kFutures),
                         common::PriceTypeCode(common::PriceType::kForex))));
    *ctx.out << analytics::PriceByType(strike, symbol, side, premium, forward_point, type) << '\n';
    return kExitDone;
}

int CmdTradingDay(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    *ctx.out << (common::IsTradingDay(date) ? "1" : "0") << '\n';
    return kExitDone;
}

int CmdHolidays(Context& ctx, const Words& words) {
    const Arguments args(words, {"year"});
    RefusePositional(args);
    const int year = HolidayYear(args);
    const TodayClock clock(ctx.today);
    for (int i = 0; i < common::kHolidayCount; ++i) {
        const std::optional<common::Date> day = common::ExchangeHoliday(i, year, clock);
        *ctx.out << (day ? common::DayText(*day) : "0") << '\n';
    }
    return kExitDone;
}

}  // namespace zarvex::cli
