#include "analytics/right_panel_fixture.h"

#include <array>
#include <cmath>
#include <random>

#include "storage/store.h"
#include "storage/transaction.h"

namespace zarvex::analytics::testing {

QuoteDb::QuoteDb(const std::string& symbol) {
    const auto path = storage::QuotePath(folder_.Folder(), symbol);
    db_ = std::move(storage::OpenStore(path, storage::StoreKind::kQuote).db);
    // Test databases need no durability; waiting for the disk would dominate the run.
    db_.Execute("PRAGMA synchronous=OFF");
}

void QuoteDb::Insert(const QuoteRow& row) const {
    db_.Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {row.strike, row.price, row.delta, row.volume, row.oi, row.doi, std::string_view(row.sign),
         std::string_view(row.symb), std::string_view(row.option), std::string_view(row.contract),
         std::string_view(row.expiration), std::string_view(row.date)});
}

void QuoteDb::Insert(const std::vector<QuoteRow>& rows) const {
    db_.Execute("Begin Transaction");
    for (const QuoteRow& row : rows) {
        Insert(row);
    }
    db_.Execute("Commit");
}

namespace {

struct Market {
    const char* symbol;
    double center;       // a typical strike, in the quotation the import stores
    double strike_step;  // the exchange's strike spacing
};

constexpr std::array<Market, 6> kMarkets{{
    {"EUR", 1.3000, 0.0050},
    {"GBP", 1.6000, 0.0100},
    {"AUD", 0.9500, 0.0050},
    {"CAD", 0.9800, 0.0050},
    {"JPY", 1.2000, 0.0050},
    {"CHF", 1.0600, 0.0050},
}};

double RoundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

}  // namespace

GeneratedDay GenerateDay(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto integer = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    const Market& market = kMarkets[static_cast<std::size_t>(integer(0, 5))];
    GeneratedDay day;
    day.symbol = market.symbol;
    day.forward_point = RoundTo(uniform(-60.0, 60.0), static_cast<int>(integer(0, 2)));

    const double futures = RoundTo(market.center * uniform(0.97, 1.03), 4);
    for (const char* option : {"CALL", "PUT"}) {
        // Some days have one side only.
        if (integer(0, 19) == 0) {
            continue;
        }
        const std::int64_t below = integer(0, 60);
        const std::int64_t above = integer(0, 60);
        const double atm = RoundTo(futures / market.strike_step, 0) * market.strike_step;
        for (std::int64_t k = -below; k <= above; ++k) {
            double strike = RoundTo(atm + static_cast<double>(k) * market.strike_step, 4);
            // A few strikes off every grid, as odd reports carry them.
            if (integer(0, 29) == 0) {
                strike = RoundTo(strike + 0.0001, 4);
            }
            const bool call = option[0] == 'C';
            const double intrinsic = std::max(0.0, call ? futures - strike : strike - futures);
            QuoteRow row;
            row.symb = day.symbol;
            row.option = option;
            row.strike = strike;
            row.price = integer(0, 24) == 0 ? 0.0 : RoundTo(intrinsic + uniform(0.0, 0.02), 5);
            const std::int64_t delta_kind = integer(0, 19);
            row.delta = delta_kind == 0 ? 1.0 : delta_kind == 1 ? 0.0 : RoundTo(uniform(0, 1), 2);
            row.oi = integer(0, 3) == 0 ? 0 : integer(1, 8000);
            row.volume = integer(0, 2) == 0 ? 0 : integer(1, 900);
            row.doi = integer(0, 400);
            row.sign = std::array<const char*, 3>{"-1", "0", "1"}[integer(0, 2)];
            day.rows.push_back(row);
        }
    }
    // A later row for a strike already seen, as a report listing one twice would give.
    if (!day.rows.empty() && integer(0, 3) == 0) {
        QuoteRow again = day.rows[static_cast<std::size_t>(
            integer(0, static_cast<std::int64_t>(day.rows.size()) - 1))];
        again.oi += 7;
        again.price = RoundTo(again.price + 0.0003, 5);
        day.rows.push_back(again);
    }
    return day;
}

}  // namespace zarvex::analytics::testing
