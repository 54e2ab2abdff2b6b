#include "left_panel_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <tuple>

#include "analytics/prices.h"
#include "common/date.h"
#include "common/text.h"
#include "storage/database.h"

namespace zarvex::analytics::left_testing {

namespace {

struct RefRow {
    std::int64_t id = 0;
    std::string option, contract, date, expiration;
    double strike = 0.0;
    bool strike_is_number = false;
    double price = 0.0;
    double delta = 0.0;
    std::int64_t volume = 0;
    std::int64_t oi = 0;
    bool oi_is_number = false;
    std::string oi_text;
    // Filters as SQLite judges them.
    bool level = false, band = false, average = false, balance = false, border = false;
    bool call_fractal_base = false, upper_limit = false, bottom_limit = false;
    bool main = false, near = false;
};

double Finite(double value) {
    return std::isfinite(value) ? value : 0.0;
}

std::vector<RefRow> ReadRows(const storage::Database& db, const TestContext& c) {
    const std::string sql =
        "SELECT id, option, contract, date, expiration, strike, typeof(strike) IN "
        "('integer','real'), price, delta, volume, oi, typeof(oi) IN ('integer','real'), oi, "
        "coalesce(price <> 0 AND delta <> 0 AND delta <> 1 AND (" +
        c.settings.level_cond +
        "), 0), "
        "coalesce(price<>0 AND delta>0.003 AND delta<0.997, 0), "
        "coalesce(price<>0 AND doi>0 AND volume>0 AND delta>0.003 AND delta<0.997, 0), "
        "coalesce(delta < 0.76 AND delta > 0.24, 0), "
        "coalesce(price <> 0 AND delta <> 0 AND delta <> 1, 0), "
        "coalesce(price>0 AND delta>0 AND delta<1, 0), "
        "coalesce(oi > 0 AND delta > 0.003 AND price > 0, 0), "
        "coalesce(oi > 0 AND delta > 0.003 AND delta < 0.997 AND price > 0, 0), "
        "coalesce((" +
        c.settings.fractal_main_cond + "), 0), coalesce((" + c.settings.fractal_near_cond +
        "), 0) "
        "FROM dating ORDER BY id";
    storage::Statement q = db.Prepare(sql);
    EXPECT_TRUE(q.IsValid()) << q.Error();
    std::vector<RefRow> rows;
    while (q.Step()) {
        RefRow r;
        r.id = q.ColumnInt(0);
        r.option = q.ColumnText(1);
        r.contract = q.ColumnText(2);
        r.date = q.ColumnText(3);
        r.expiration = q.ColumnText(4);
        r.strike = Finite(q.ColumnDouble(5));
        r.strike_is_number = q.ColumnInt(6) != 0;
        r.price = Finite(q.ColumnDouble(7));
        r.delta = Finite(q.ColumnDouble(8));
        r.volume = q.ColumnInt(9);
        r.oi = q.ColumnInt(10);
        r.oi_is_number = q.ColumnInt(11) != 0;
        r.oi_text = q.ColumnText(12);
        int i = 13;
        for (bool* flag :
             {&r.level, &r.band, &r.average, &r.balance, &r.border, &r.call_fractal_base,
              &r.upper_limit, &r.bottom_limit, &r.main, &r.near}) {
            *flag = q.ColumnInt(i++) != 0;
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

class Reference {
public:
    Reference(std::vector<RefRow> rows, const TestContext& c) : rows_(std::move(rows)), c_(c) {}

    bool OfDay(const RefRow& r, const std::string& option) const {
        return r.option == option && r.contract == c_.contract &&
               r.date == common::DayText(c_.date);
    }

    std::string Price(double strike, const std::string& option, double premium) const {
        return PriceByType(strike, c_.symbol, common::SideFromText(option), premium,
                           c_.forward_point, common::PriceTypeFromCode(c_.settings.price_type));
    }

    // The premium lookup: the first row of the day at that strike, compared as numbers.
    double Premium(const std::string& option, double strike) const {
        for (const RefRow& r : rows_) {
            if (OfDay(r, option) && r.strike_is_number && r.strike == strike) {
                return r.price;
            }
        }
        return 0.0;
    }

    std::string Level(const std::string& option, std::string& expiration) const {
        std::int64_t count = 0;
        for (const RefRow& r : rows_) {
            count += OfDay(r, option) ? 1 : 0;
        }
        const std::size_t capacity = static_cast<std::size_t>(3 * count + 1);
        std::vector<double> strikes(capacity, 0.0);
        std::vector<std::int64_t> volumes(capacity, 0);
        for (const RefRow& r : rows_) {
            if (r.option != option || r.contract != c_.contract) {
                continue;
            }
            expiration = r.expiration;
            bool placed = false;
            for (std::size_t i = 0; i < capacity && !placed; ++i) {
                if (strikes[i] == r.strike) {
                    volumes[i] += r.volume;
                    placed = true;
                }
            }
            for (std::size_t i = 0; i < capacity && !placed; ++i) {
                if (strikes[i] == 0.0) {
                    strikes[i] = r.strike;
                    volumes[i] = r.volume;
                    placed = true;
                }
            }
        }
        std::size_t best = 0;
        std::int64_t best_volume = 0;
        for (std::size_t i = 0; i < capacity; ++i) {
            if (volumes[i] > best_volume) {
                best_volume = volumes[i];
                best = i;
            }
        }
        const double strike = strikes[best];
        return strike > 0.0 ? Price(strike, option, Premium(option, strike)) : " ";
    }

    std::string SumRatio(bool oi) const {
        std::int64_t put = 0;
        std::int64_t call = 0;
        for (const RefRow& r : rows_) {
            if (r.band && (OfDay(r, "PUT") || OfDay(r, "CALL"))) {
                (r.option == "PUT" ? put : call) += oi ? r.oi : r.volume;
            }
        }
        const double ratio = call >= 1 ? static_cast<double>(put) / call : 0.0;
        return ratio > 0.0 ? common::FormatFixed(ratio, 4) : "";
    }

    std::string AverageRatio() const {
        double sums[2] = {0, 0};
        int counts[2] = {0, 0};
        for (const RefRow& r : rows_) {
            if (r.average && (OfDay(r, "PUT") || OfDay(r, "CALL"))) {
                const int side = r.option == "PUT" ? 0 : 1;
                sums[side] += r.price * static_cast<double>(r.volume);
                ++counts[side];
            }
        }
        const double put = counts[0] >= 1 ? sums[0] / counts[0] : 0.0;
        const double call = counts[1] >= 1 ? sums[1] / counts[1] : 0.0;
        const double ratio = call > 0.0 ? put / call : 0.0;
        return ratio > 0.0 ? common::FormatFixed(ratio, 4) : "";
    }

    std::vector<std::string> Levels(const std::string& option) const {
        std::vector<std::string> levels;
        for (const RefRow& r : rows_) {
            if (levels.size() == 51) {
                break;
            }
            if (OfDay(r, option) && r.level) {
                const std::string text = Price(r.strike, option, r.price);
                if (std::find(levels.begin(), levels.end(), text) == levels.end()) {
                    levels.push_back(text);
                }
            }
        }
        return levels;
    }

    std::vector<std::string> Fractals(const std::string& option) const {
        std::vector<const RefRow*> near;
        std::vector<const RefRow*> main;
        for (const RefRow& r : rows_) {
            const bool base = option == "PUT" ? r.border : r.call_fractal_base;
            if (OfDay(r, option) && base) {
                if (r.near)
                    near.push_back(&r);
                if (r.main)
                    main.push_back(&r);
            }
        }
        std::vector<double> result(main.size(), 0.0);
        // Positions from 1 as the description counts them.
        const std::size_t n = near.size();
        for (std::size_t i = 0; i < main.size(); ++i) {
            for (std::size_t j = 2; j + 1 <= n; ++j) {
                if (main[i]->strike == near[j - 1]->strike && main[i]->oi > near[j - 2]->oi &&
                    main[i]->oi > near[j]->oi) {
                    result[i] = main[i]->strike;
                }
            }
        }
        std::vector<std::string> fractals;
        for (double strike : result) {
            if (strike > 0.0 && fractals.size() < 51) {
                const std::string text = Price(strike, option, Premium(option, strike));
                if (std::find(fractals.begin(), fractals.end(), text) == fractals.end()) {
                    fractals.push_back(text);
                }
            }
        }
        return fractals;
    }

    std::string DeltaBalance() const {
        for (const std::string option : {"PUT", "CALL"}) {
            double best = 1.0;
            double strike = 0.0;
            for (const RefRow& r : rows_) {
                const double d = std::round(std::fabs(r.delta - 0.5) * 1e10) / 1e10;
                if (OfDay(r, option) && r.balance && d < best) {
                    best = d;
                    strike = r.strike;
                }
            }
            if (strike > 0.0) {
                return Price(strike, "PUT", 0.0);
            }
        }
        return "";
    }

    // MAX(oi) as SQLite gives it: a text among the values is larger than every number; a text
    // that reads as no number is asked again over the numbers alone.
    std::int64_t MaxOi(const std::string& option) const {
        std::optional<std::int64_t> number;
        std::optional<std::string> text;
        for (const RefRow& r : rows_) {
            if (!OfDay(r, option) || !r.border)
                continue;
            if (r.oi_is_number) {
                number = std::max(number.value_or(r.oi), r.oi);
            } else {
                text = std::max(text.value_or(r.oi_text), r.oi_text);
            }
        }
        return text && common::ParseDouble(*text) ? common::ToInt(*text) : number.value_or(0);
    }

    std::pair<std::string, std::int64_t> Border(const std::string& option) const {
        const std::int64_t m = MaxOi(option);
        double strike = 0.0;
        if (m > 0) {
            for (const RefRow& r : rows_) {
                if (OfDay(r, option) && r.oi_is_number && r.oi == m) {
                    strike = r.strike;
                    break;
                }
            }
        }
        if (!(strike > 0.0))
            return {"", 0};
        return {Price(strike, option, Premium(option, strike)), std::llround(strike)};
    }

    std::pair<std::string, std::int64_t> Limit(const std::string& option) const {
        // MAX(strike) of the CALLs, MIN(strike) of the PUTs; a text is larger than numbers.
        std::optional<double> number;
        bool text = false;
        for (const RefRow& r : rows_) {
            const bool pass = option == "CALL" ? r.upper_limit : r.bottom_limit;
            if (!OfDay(r, option) || !pass)
                continue;
            if (!r.strike_is_number) {
                text = true;
                continue;
            }
            number = option == "CALL" ? std::max(number.value_or(r.strike), r.strike)
                                      : std::min(number.value_or(r.strike), r.strike);
        }
        const double strike = option == "CALL" && text ? 0.0 : number.value_or(0.0);
        if (!(strike > 0.0))
            return {"", 0};
        return {Price(strike, option, Premium(option, strike)), std::llround(strike)};
    }

private:
    std::vector<RefRow> rows_;
    const TestContext& c_;
};

}  // namespace

void StoreParsedRows(const std::filesystem::path& file,
                     const std::vector<import::ReportRow>& rows) {
    storage::Database db = storage::Database::Open(file);
    ASSERT_TRUE(db.IsOpen());
    ASSERT_TRUE(db.Execute("Begin Transaction"));
    for (const import::ReportRow& r : rows) {
        // The extraction stores no row for a blank line inside a block.
        if (r.price.empty() && r.delta.empty() && r.volume.empty() && r.oi.empty() &&
            r.doi.empty() && r.sign.empty()) {
            continue;
        }
        const std::string contract = common::TrimCopy(r.contract);
        const std::string strike = common::TrimCopy(r.strike);
        storage::Statement existing = db.Prepare(
            "SELECT id FROM dating WHERE symb = ? AND option = ? AND contract = ? AND date = ? "
            "AND strike = ?");
        existing.BindAll({std::string_view(r.symb), std::string_view(r.option),
                          std::string_view(contract), std::string_view(r.date),
                          std::string_view(strike)});
        if (existing.Step()) {
            const std::int64_t id = existing.ColumnInt(0);
            ASSERT_TRUE(db.Execute(
                "UPDATE dating SET price=?, delta=?, volume=?, oi=?, doi=?, expiration=?, sign=? "
                "WHERE id=?",
                {std::string_view(r.price), std::string_view(r.delta), std::string_view(r.volume),
                 std::string_view(r.oi), std::string_view(r.doi), std::string_view(r.expiration),
                 std::string_view(r.sign), id}));
            continue;
        }
        ASSERT_TRUE(db.Execute(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {std::string_view(r.strike), std::string_view(r.price), std::string_view(r.delta),
             std::string_view(r.volume), std::string_view(r.oi), std::string_view(r.doi),
             std::string_view(r.sign), std::string_view(r.symb), std::string_view(r.option),
             std::string_view(contract), std::string_view(r.expiration),
             std::string_view(r.date)}));
    }
    ASSERT_TRUE(db.Execute("Commit"));
}

ContextTexts ReferencePanel(const std::filesystem::path& file, const TestContext& context) {
    const storage::Database db = storage::Database::OpenReadOnly(file);
    const Reference ref(ReadRows(db, context), context);
    ContextTexts out;
    out.expiration = context.expiration;
    out.call_level = ref.Level("CALL", out.expiration);
    out.put_level = ref.Level("PUT", out.expiration);
    out.ratio_oi = ref.SumRatio(true);
    out.ratio_volume = ref.SumRatio(false);
    out.ratio_avg_price = ref.AverageRatio();
    out.put_levels = ref.Levels("PUT");
    out.call_levels = ref.Levels("CALL");
    out.put_fractals = ref.Fractals("PUT");
    out.call_fractals = ref.Fractals("CALL");
    out.delta_balance = ref.DeltaBalance();
    std::tie(out.upper_border, out.upper_border_strike) = ref.Border("CALL");
    std::tie(out.bottom_border, out.bottom_border_strike) = ref.Border("PUT");
    std::tie(out.upper_limit, out.upper_limit_strike) = ref.Limit("CALL");
    std::tie(out.bottom_limit, out.bottom_limit_strike) = ref.Limit("PUT");
    out.channel_center.clear();
    out.market_width.clear();
    if (!out.upper_border.empty() && !out.bottom_border.empty()) {
        const std::size_t point = out.bottom_border.find('.');
        const int d =
            point == std::string::npos ? 0 : static_cast<int>(out.bottom_border.size() - point - 1);
        const double b = std::stod(out.bottom_border);
        const double u = std::stod(out.upper_border);
        out.channel_center = common::FormatFixed((b + u) / 2.0, d);
        double w = std::fabs(std::nearbyint(u * std::pow(10.0, d)) -
                             std::nearbyint(b * std::pow(10.0, d)));
        if (point == std::string::npos)
            w *= 10;
        out.market_width = common::FormatFixed(w, 0);
    }
    if (context.settings.price_type == 2 &&
        (context.symbol == "JPY" || context.symbol == "CHF" || context.symbol == "CAD")) {
        std::swap(out.upper_border, out.bottom_border);
        std::swap(out.upper_limit, out.bottom_limit);
    }
    return out;
}

}  // namespace zarvex::analytics::left_testing
