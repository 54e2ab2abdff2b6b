#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "analytics/day/quote_queries.h"
#include "analytics/left_panel/calculations.h"
#include "analytics/prices.h"
#include "storage/condition_bound.h"
#include "storage/grouped_condition.h"

namespace zarvex::analytics {

namespace {

struct FractalQueries {
    common::Side option;
    std::string_view count;  // the near set's size; the grouped condition follows
    std::string_view rows;   // the rows of both sets; the grouped condition follows
};

constexpr FractalQueries kPut{
    common::Side::kPut,
    "SELECT COUNT(*) FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND price "
    "<> 0 And delta <> 0 And delta <> 1",
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'PUT' AND price <> 0 AND "
    "delta <> 0 AND delta <> 1",
};
constexpr FractalQueries kCall{
    common::Side::kCall,
    "SELECT COUNT(*) FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND "
    "price>0 AND delta>0 AND delta<1",
    "SELECT * FROM dating WHERE date = ? AND contract = ? AND option = 'CALL' AND price>0 AND "
    "delta>0 AND delta<1",
};

struct StrikeOi {
    double strike = 0.0;
    std::int64_t oi = 0;
};

// Reads strike and open interest of the rows in query order, at most `limit` of them.
// Rows of blank report lines are no options and take no position; `blank` counts those met.
std::optional<std::vector<StrikeOi>> ReadSet(const storage::Database& db, const DayContext& context,
                                             std::string sql, std::int64_t limit,
                                             std::int64_t& blank) {
    storage::Statement rows =
        quotes::Query(db, sql, {common::DayText(context.date), context.contract});
    std::vector<StrikeOi> set;
    blank = 0;
    while (static_cast<std::int64_t>(set.size()) + blank < limit && rows.Step()) {
        if (quotes::IsBlankLineRow(rows)) {
            ++blank;
            continue;
        }
        set.push_back(
            {quotes::ReadDouble(rows, quotes::kStrike), quotes::ReadInt(rows, quotes::kOi)});
    }
    if (rows.Failed()) {
        return std::nullopt;
    }
    return set;
}

bool ReadFractals(const storage::Database& db, const settings::Settings& settings,
                  DayContext& context, const FractalQueries& q,
                  std::vector<PanelNumber>& fractals) {
    const auto refused = [&](std::string_view name, const std::string& condition) {
        const std::optional<std::string> why = storage::GroupRefusal(condition);
        if (why) {
            context.condition_failure = storage::NamedConditionFailure(name, condition, *why);
        }
        return why.has_value();
    };
    if (refused("Fractal_Near_Cond", settings.fractal_near_cond) ||
        refused("Fractal_Main_Cond", settings.fractal_main_cond)) {
        return false;
    }
    const std::string near_condition = *storage::AndGrouped(settings.fractal_near_cond);
    const std::string main_condition = *storage::AndGrouped(settings.fractal_main_cond);
    const auto failed = [&](std::string_view name, const std::string& condition,
                            const storage::ConditionBound& bound) {
        context.condition_failure =
            storage::NamedConditionFailure(name, condition, bound.Why(db.LastError()));
        return false;
    };

    std::optional<std::int64_t> near_count;
    std::optional<std::vector<StrikeOi>> near;
    std::int64_t near_blank = 0;
    {
        const storage::ConditionBound bound(db);
        near_count = quotes::ScalarInt(db, std::string(q.count) + near_condition,
                                       {common::DayText(context.date), context.contract});
        if (near_count) {
            near =
                ReadSet(db, context, std::string(q.rows) + near_condition, *near_count, near_blank);
        }
        if (!near) {
            return failed("Fractal_Near_Cond", settings.fractal_near_cond, bound);
        }
    }
    // The main set holds every row of its query; its size is not taken from a count.
    std::optional<std::vector<StrikeOi>> main;
    std::int64_t main_blank = 0;
    {
        const storage::ConditionBound bound(db);
        main = ReadSet(db, context, std::string(q.rows) + main_condition,
                       std::numeric_limits<std::int64_t>::max(), main_blank);
        if (!main) {
            return failed("Fractal_Main_Cond", settings.fractal_main_cond, bound);
        }
    }

    // Near positions that have two neighbours, by strike: the first and the last near row are
    // never peaks. The count may exceed the rows read only if rows vanished in between; the
    // missing positions then hold a strike and open interest of 0.
    const std::size_t n =
        static_cast<std::size_t>(std::max<std::int64_t>(*near_count - near_blank, 0));
    auto near_at = [&](std::size_t position) {  // positions count from 0 here
        return position < near->size() ? (*near)[position] : StrikeOi{};
    };
    std::unordered_map<double, std::vector<std::size_t>> inner_positions;
    // Positions past the rows read hold the strike 0.0, which is never a fractal.
    for (std::size_t j = 1; j + 1 < n && j < near->size(); ++j) {
        inner_positions[near_at(j).strike].push_back(j);
    }

    for (const StrikeOi& row : *main) {
        const auto found = inner_positions.find(row.strike);
        if (found == inner_positions.end()) {
            continue;
        }
        bool peak = false;
        for (std::size_t j : found->second) {
            if (row.oi > near_at(j - 1).oi && row.oi > near_at(j + 1).oi) {
                peak = true;
                break;
            }
        }
        if (!peak || !(row.strike > 0.0)) {
            continue;
        }
        const std::optional<double> premium =
            quotes::Premium(db, q.option, context.contract, common::DayText(context.date),
                            FractalStrikeText(row.strike));
        if (!premium) {
            return false;
        }
        if (!AddDistinct(fractals, PriceNumber(row.strike, context.symbol, q.option, *premium,
                                               context.forward_point,
                                               common::PriceTypeFromCode(settings.price_type)))) {
            break;
        }
    }
    return true;
}

}  // namespace

std::string FractalStrikeText(double strike) {
    constexpr std::size_t kWidth = 8;
    std::string text = quotes::StrikeText(strike);
    if (text.find('.') == std::string::npos) {
        text += '.';
    }
    text.resize(kWidth, '0');
    return text;
}

bool CalculateSignificantFractals(const storage::Database& db, const settings::Settings& settings,
                                  DayContext& context) {
    // Fresh lists: a failing condition must not leave the fractals of another calculation.
    context.put_fractals.clear();
    context.call_fractals.clear();
    context.condition_failure.clear();
    return ReadFractals(db, settings, context, kPut, context.put_fractals) &&
           ReadFractals(db, settings, context, kCall, context.call_fractals);
}

}  // namespace zarvex::analytics
