#include "analytics/board/oi_map.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "analytics/board/strike_interest.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// Open interest of CALLs and PUTs together, by strike.
std::map<common::StrikeKey, std::int64_t> TotalByStrike(const ContractRows& rows,
                                                        common::Date day) {
    std::map<common::StrikeKey, std::int64_t> out;
    const auto* positions = SymbolRows::RowsOn(rows, day);
    if (positions == nullptr) {
        return out;
    }
    const DayOptions options = OptionsOfDay(rows.rows, *positions);
    for (const SideOptions* side : {&options.call, &options.put}) {
        for (const auto& [key, option] : *side) {
            out[key] += option.oi;
        }
    }
    return out;
}

bool HasInterest(const std::map<common::StrikeKey, std::int64_t>& by_strike) {
    return std::any_of(by_strike.begin(), by_strike.end(),
                       [](const auto& entry) { return entry.second > 0; });
}

}  // namespace

common::Result<OiMap> BuildOiMap(SymbolRows& rows, const storage::Database& db,
                                 const std::string& symbol, common::Date date, int change) {
    using Map = common::Result<OiMap>;
    OiMap map;
    map.symbol = symbol;
    map.change = change;
    if (date == common::kInvalidDate || rows.LatestUpTo(date) != date) {
        return Map::Of(std::move(map));
    }
    map.date = date;
    std::vector<common::Date> days{date};
    if (change > 0) {
        map.compare_date = rows.Before(date, change);
        if (map.compare_date == common::kInvalidDate) {
            return Map::Of(std::move(map));
        }
        days.push_back(map.compare_date);
    }
    if (!rows.Load(db, days)) {
        return Map::Failed("the quote rows of " + common::DayText(date) + " cannot be read");
    }

    struct Column {
        common::Date expires;
        std::string contract;
        std::string expiration;
        std::map<common::StrikeKey, std::int64_t> today;
        std::map<common::StrikeKey, std::int64_t> before;
    };
    std::vector<Column> columns;
    for (const std::string& name : rows.ContractsOn(date)) {
        const ContractRows& contract = *rows.Contract(name);
        Column column{common::ParseDate(common::Trim(contract.expiration), "%dd.%mm.%yyyy"),
                      name,
                      contract.expiration,
                      TotalByStrike(contract, date),
                      {}};
        if (!HasInterest(column.today)) {
            continue;
        }
        if (change > 0) {
            column.before = TotalByStrike(contract, map.compare_date);
        }
        columns.push_back(std::move(column));
    }
    // Nearest expiration first, as on the board; unknown expirations last.
    std::sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) {
        const bool a_known = a.expires != common::kInvalidDate;
        const bool b_known = b.expires != common::kInvalidDate;
        return std::tie(b_known, a.expires, a.contract) < std::tie(a_known, b.expires, b.contract);
    });

    // Strikes where some contract holds open interest on either day; the far strikes that
    // nobody holds would only pad the map.
    std::vector<common::StrikeKey> keys;
    for (const Column& column : columns) {
        for (const auto* side : {&column.today, &column.before}) {
            for (const auto& [key, oi] : *side) {
                if (oi != 0) {
                    keys.push_back(key);
                }
            }
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    for (const Column& column : columns) {
        map.contracts.push_back(column.contract);
        map.expirations.push_back(column.expiration);
    }
    const auto value_in = [](const std::map<common::StrikeKey, std::int64_t>& side,
                             common::StrikeKey key) {
        const auto found = side.find(key);
        return found == side.end() ? std::int64_t{0} : found->second;
    };
    for (const common::StrikeKey key : keys) {
        std::vector<std::int64_t> row;
        std::int64_t sum = 0;
        for (const Column& column : columns) {
            const std::int64_t value =
                value_in(column.today, key) - (change > 0 ? value_in(column.before, key) : 0);
            row.push_back(value);
            sum += value;
        }
        map.strikes.push_back(key.Value());
        map.cells.push_back(std::move(row));
        map.sums.push_back(sum);
    }
    return Map::Of(std::move(map));
}

}  // namespace zarvex::analytics
