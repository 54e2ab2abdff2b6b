#include "analytics/history/contract_history.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "analytics/forward_points.h"
#include "analytics/history/level_strikes.h"
#include "analytics/history/max_pain.h"
#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/day_context.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/quote_queries.h"
#include "analytics/prices.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// What one pass over the contract's rows keeps for the levels and the expiration.
struct ContractRows {
    LevelStrikes call;
    LevelStrikes put;
    std::string expiration;
    // Per stored day text: how many CALL and PUT rows it has (the capacity of its slots).
    struct Counts {
        std::int64_t call = 0;
        std::int64_t put = 0;
    };
    std::map<std::string, Counts, std::less<>> days;
};

bool ReadContractRows(const storage::Database& memory, ContractRows& rows) {
    // The comparisons are the database's own, so a row counts as a CALL exactly when the
    // panel's "option = 'CALL'" takes it.
    storage::Statement query = memory.Prepare(
        "SELECT date, option = 'CALL', option = 'PUT', strike, volume, expiration FROM dating "
        "ORDER BY rowid");
    std::string call_expiration;
    std::string put_expiration;
    bool any_call = false;
    bool any_put = false;
    while (query.Step()) {
        const bool call = query.ColumnInt(1) == 1;
        const bool put = query.ColumnInt(2) == 1;
        if (!call && !put) {
            continue;
        }
        ContractRows::Counts& counts = rows.days[std::string(query.ColumnTextView(0))];
        const double strike = quotes::ReadDouble(query, 3);
        const std::int64_t volume = quotes::ReadInt(query, 4);
        if (call) {
            ++counts.call;
            rows.call.Add(strike, volume);
            call_expiration.assign(query.ColumnTextView(5));
            any_call = true;
        } else {
            ++counts.put;
            rows.put.Add(strike, volume);
            put_expiration.assign(query.ColumnTextView(5));
            any_put = true;
        }
    }
    // The panel reads the CALL rows and then the PUT rows, and every row read sets the
    // expiration: the last PUT row's stays, else the last CALL row's.
    rows.expiration = any_put ? put_expiration : any_call ? call_expiration : std::string();
    return !query.Failed();
}

std::string LevelText(const storage::Database& memory, const DayContext& context,
                      std::string_view option, double strike, bool& ok) {
    const std::optional<double> premium =
        quotes::Premium(memory, option, context.contract, context.date, quotes::StrikeText(strike));
    if (!premium) {
        ok = false;
        return {};
    }
    return strike > 0.0 ? PriceByType(strike, context.symbol, option, *premium,
                                      context.forward_point, context.price_type)
                        : " ";
}

bool ReadTotals(const storage::Database& memory, const DayContext& context, HistoryDay& day) {
    storage::Statement query = quotes::Query(
        memory,
        "SELECT option = 'CALL', SUM(oi), SUM(volume) FROM dating WHERE date = ? AND contract = ? "
        "AND option IN ('CALL', 'PUT') GROUP BY option = 'CALL'",
        {context.date, context.contract});
    while (query.Step()) {
        const bool call = query.ColumnInt(0) == 1;
        (call ? day.call_oi : day.put_oi) = quotes::ReadInt(query, 1);
        (call ? day.call_volume : day.put_volume) = quotes::ReadInt(query, 2);
    }
    return !query.Failed();
}

void TakeTexts(const DayContext& context, HistoryDay& day) {
    day.forward_point = context.forward_point;
    day.width_market = context.width_market;
    day.delta_balance = context.delta_balance;
    day.upper_limit = context.upper_limit;
    day.upper_border = context.upper_border;
    day.channel_center = context.channel_center;
    day.bottom_border = context.bottom_border;
    day.bottom_limit = context.bottom_limit;
    day.upper_border_strike = context.upper_border_strike;
    day.bottom_border_strike = context.bottom_border_strike;
    day.upper_limit_strike = context.upper_limit_strike;
    day.bottom_limit_strike = context.bottom_limit_strike;
    day.ratio_oi = context.ratio_oi;
    day.ratio_volume = context.ratio_volume;
    day.ratio_avg_price = context.ratio_avg_price;
}

bool InRange(common::Date day, const HistoryRequest& request) {
    return (request.from == common::kInvalidDate || day >= request.from) &&
           (request.to == common::kInvalidDate || day <= request.to);
}

}  // namespace

std::optional<double> ShownNumber(const std::string& text) {
    if (common::Trim(text).empty()) {
        return std::nullopt;
    }
    return common::ParseDouble(common::Trim(text));
}

ContractHistory LoadContractHistory(const storage::Database& db,
                                    const common::ProgramFolder& folder,
                                    const HistoryRequest& request, const common::Host& host) {
    ContractHistory history;
    history.symbol = request.symbol;
    history.contract = request.contract;
    auto fail = [&history](std::string reason) {
        history.failed = true;
        history.error = std::move(reason);
        return history;
    };

    // The contract's rows, once, into memory with their row ids; an index on the day then
    // makes every query of one day read that day's rows only, in row order as in the file.
    storage::Database memory;
    if (!CopyQuoteRows(db, memory, "SELECT rowid, * FROM dating WHERE contract = ? ORDER BY rowid",
                       {request.contract})) {
        return fail("the quote table cannot be read");
    }
    ContractRows rows;
    if (!memory.Execute("CREATE INDEX history_day ON dating (date)") ||
        !ReadContractRows(memory, rows)) {
        return fail("the quote rows of the contract cannot be read");
    }

    std::vector<std::pair<common::Date, const ContractRows::Counts*>> days;
    for (const auto& [text, counts] : rows.days) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day != common::kInvalidDate && common::DayText(day) == text && InRange(day, request)) {
            days.emplace_back(day, &counts);
        }
    }
    std::sort(days.begin(), days.end());

    DayContext context;
    context.symbol = request.symbol;
    context.contract = request.contract;
    context.price_type = request.price_type;
    context.fp_switch = request.fp_switch;
    history.days.reserve(days.size());
    for (const auto& [day_value, counts] : days) {
        context.date = common::DayText(day_value);
        context.forward_point =
            ResolveForwardPoint(folder, day_value, request.symbol, request.fp_switch, host);
        HistoryDay day;
        day.day = day_value;
        day.date = context.date;
        day.expiration = rows.expiration;
        bool ok = true;
        // Room for three times the day's strikes, as the panel sizes its slots.
        day.call_level =
            LevelText(memory, context, "CALL", rows.call.StrikeFor(3 * counts->call + 1), ok);
        day.put_level =
            LevelText(memory, context, "PUT", rows.put.StrikeFor(3 * counts->put + 1), ok);
        ok = ok && CalculateMarketBorders(memory, context, host) &&
             CalculatePutCallRatios(memory, context, host) && ReadTotals(memory, context, day);
        if (!ok) {
            return fail("the quote rows of " + context.date + " cannot be read");
        }
        TakeTexts(context, day);
        const MaxPain pain = DayMaxPain(memory, context.date, context.contract, context.symbol,
                                        context.forward_point, context.price_type);
        day.max_pain = pain.text;
        day.max_pain_strike = pain.strike;
        history.days.push_back(std::move(day));
    }
    return history;
}

}  // namespace zarvex::analytics
