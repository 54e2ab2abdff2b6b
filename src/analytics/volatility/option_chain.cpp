#include "analytics/volatility/option_chain.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "analytics/day/quote_queries.h"
#include "common/currency_conventions.h"

namespace zarvex::analytics {

namespace {

// Collects rows in file order; the first row of a side and strike wins.
class ChainBuilder final {
public:
    explicit ChainBuilder(double scale) : scale_(scale) {}

    void Add(common::Side option, double strike, double premium, double delta, std::int64_t oi) {
        if (!std::isfinite(strike) || strike <= 0.0) {
            return;
        }
        ChainStrike& entry = by_strike_[strike];
        entry.strike = strike;
        ChainSide& side = option == common::Side::kCall ? entry.call : entry.put;
        if (side.present) {
            return;
        }
        side.present = true;
        side.price = std::isfinite(premium) ? premium : 0.0;
        side.premium = side.price * scale_;
        side.report_delta = std::isfinite(delta) ? delta : 0.0;
        side.oi = oi;
    }

    std::vector<ChainStrike> Take() {
        std::vector<ChainStrike> out;
        out.reserve(by_strike_.size());
        for (auto& [strike, entry] : by_strike_) {
            out.push_back(entry);
        }
        return out;
    }

private:
    double scale_;
    std::map<double, ChainStrike> by_strike_;
};

}  // namespace

common::Result<OptionChain> ReadOptionChain(const storage::Database& db, std::string_view symbol,
                                            const std::string& date, const std::string& contract) {
    using Chain = common::Result<OptionChain>;
    if (!db.IsOpen()) {
        return Chain::Failed(db.OpenError().empty() ? "the quote database is not open"
                                                    : db.OpenError());
    }
    storage::Statement statement = quotes::Query(
        db,
        "SELECT option = 'CALL', strike, price, delta, oi, expiration FROM dating "
        "WHERE date = ? AND contract = ? AND option IN ('CALL', 'PUT') ORDER BY rowid",
        {date, contract});
    if (!statement.IsValid()) {
        return Chain::Failed(statement.Error().empty() ? "the quote rows cannot be read"
                                                       : statement.Error());
    }
    ChainBuilder builder(common::PremiumScale(symbol));
    std::string call_expiration;
    std::string put_expiration;
    while (statement.Step()) {
        const bool call = statement.ColumnInt(0) == 1;
        builder.Add(call ? common::Side::kCall : common::Side::kPut,
                    quotes::ReadDouble(statement, 1), quotes::ReadDouble(statement, 2),
                    quotes::ReadDouble(statement, 3), quotes::ReadInt(statement, 4));
        (call ? call_expiration : put_expiration) = statement.ColumnText(5);
    }
    if (statement.Failed()) {
        return Chain::Failed(statement.Error().empty() ? "the quote rows cannot be read"
                                                       : statement.Error());
    }
    OptionChain out;
    // As the contract's history takes it: the last PUT row's expiration, else the last CALL's.
    out.expiration = put_expiration.empty() ? call_expiration : put_expiration;
    out.strikes = builder.Take();
    return Chain::Of(std::move(out));
}

OptionChain ChainOfRows(const std::vector<ChainRow>& rows, std::string_view symbol) {
    ChainBuilder builder(common::PremiumScale(symbol));
    std::string call_expiration;
    std::string put_expiration;
    for (const ChainRow& row : rows) {
        builder.Add(row.side, row.strike, row.price, row.delta, row.oi);
        (row.side == common::Side::kCall ? call_expiration : put_expiration) = row.expiration;
    }
    OptionChain chain;
    chain.expiration = put_expiration.empty() ? call_expiration : put_expiration;
    chain.strikes = builder.Take();
    return chain;
}

OptionChain ChainOfDay(const ContractRows& rows, const std::vector<std::size_t>& day,
                       std::string_view symbol) {
    ChainBuilder builder(common::PremiumScale(symbol));
    for (const std::size_t position : day) {
        const StoredOption& row = rows.rows[position];
        if (!row.side) {
            continue;
        }
        builder.Add(*row.side, row.strike.as_double, row.price.as_double, row.delta.as_double,
                    row.oi.as_int);
    }
    OptionChain chain;
    chain.expiration = rows.expiration;
    chain.strikes = builder.Take();
    return chain;
}

}  // namespace zarvex::analytics
