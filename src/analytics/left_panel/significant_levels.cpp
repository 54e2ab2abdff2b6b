#include <optional>
#include <string>
#include <vector>

#include "analytics/day/quote_queries.h"
#include "analytics/left_panel/calculations.h"
#include "analytics/prices.h"
#include "storage/condition_bound.h"
#include "storage/grouped_condition.h"

namespace zarvex::analytics {

namespace {

// The user's condition follows, grouped.
constexpr std::string_view kPutLevels =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND price <> 0 AND "
    "delta <> 0 AND delta <> 1";
constexpr std::string_view kCallLevels =
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND price <> 0 "
    "AND delta <> 0 AND delta <> 1";

bool ReadLevels(const storage::Database& db, const settings::Settings& settings,
                DayContext& context, std::string_view sql, common::Side side,
                std::vector<PanelNumber>& levels) {
    const std::string& condition = settings.level_cond;
    if (const std::optional<std::string> why = storage::GroupRefusal(condition)) {
        context.condition_failure = storage::NamedConditionFailure("Level_Cond", condition, *why);
        return false;
    }
    const storage::ConditionBound bound(db);
    storage::Statement rows = quotes::Query(db, std::string(sql) + *storage::AndGrouped(condition),
                                            {common::DayText(context.date), context.contract});
    while (levels.size() < static_cast<std::size_t>(kPanelTableRows) && rows.Step()) {
        if (quotes::IsBlankLineRow(rows)) {
            continue;
        }
        AddDistinct(levels,
                    PriceNumber(quotes::ReadDouble(rows, quotes::kStrike), context.symbol, side,
                                quotes::ReadDouble(rows, quotes::kPrice), context.forward_point,
                                common::PriceTypeFromCode(settings.price_type)));
    }
    if (rows.Failed()) {
        context.condition_failure =
            storage::NamedConditionFailure("Level_Cond", condition, bound.Why(rows));
        return false;
    }
    return true;
}

}  // namespace

bool AddDistinct(std::vector<PanelNumber>& list, const PanelNumber& number) {
    if (list.size() >= static_cast<std::size_t>(kPanelTableRows)) {
        return false;
    }
    for (const PanelNumber& entry : list) {
        if (entry == number) {
            return true;
        }
    }
    list.push_back(number);
    return true;
}

bool CalculateSignificantLevels(const storage::Database& db, const settings::Settings& settings,
                                DayContext& context) {
    // Fresh lists: a failing condition must not leave the levels of another day or contract.
    context.put_levels.clear();
    context.call_levels.clear();
    context.condition_failure.clear();
    return ReadLevels(db, settings, context, kPutLevels, common::Side::kPut, context.put_levels) &&
           ReadLevels(db, settings, context, kCallLevels, common::Side::kCall, context.call_levels);
}

}  // namespace zarvex::analytics
