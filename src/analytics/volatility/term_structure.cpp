#include "analytics/volatility/term_structure.h"

#include <algorithm>
#include <map>

#include "analytics/day/quote_queries.h"
#include "analytics/volatility/option_chain.h"

namespace zarvex::analytics {

namespace {

void NearestExpiryFirst(std::vector<TermContract>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const TermContract& a, const TermContract& b) {
        return a.figures.days < b.figures.days;
    });
}

}  // namespace

std::int64_t ChainOpenInterest(const OptionChain& chain) {
    std::int64_t total = 0;
    for (const ChainStrike& strike : chain.strikes) {
        total +=
            (strike.call.present ? strike.call.oi : 0) + (strike.put.present ? strike.put.oi : 0);
    }
    return total;
}

std::optional<std::vector<std::string>> ContractsOfDay(const storage::Database& db,
                                                       const std::string& date) {
    storage::Statement statement =
        quotes::Query(db,
                      "SELECT contract FROM dating WHERE date = ? AND option IN ('CALL', 'PUT') "
                      "GROUP BY contract ORDER BY MIN(rowid)",
                      {date});
    if (!statement.IsValid()) {
        return std::nullopt;
    }
    std::vector<std::string> contracts;
    while (statement.Step()) {
        contracts.push_back(statement.ColumnText(0));
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return contracts;
}

std::vector<TermContract> TermOfRows(const std::vector<std::pair<std::string, ChainRow>>& rows,
                                     std::string_view symbol, const std::string& date) {
    // Contracts in the order of their first row, as the query of one day orders them.
    std::vector<std::string> order;
    std::map<std::string, std::vector<ChainRow>, std::less<>> by_contract;
    for (const auto& [contract, row] : rows) {
        auto [at, added] = by_contract.try_emplace(contract);
        if (added) {
            order.push_back(contract);
        }
        at->second.push_back(row);
    }
    const common::Date day = common::ParseDate(date, "%dd.%mm.%yyyy");
    std::vector<TermContract> out;
    out.reserve(order.size());
    for (const std::string& name : order) {
        const OptionChain chain = ChainOfRows(by_contract.at(name), symbol);
        out.push_back(
            {name, chain.expiration, VolatilityOfChain(chain, day), ChainOpenInterest(chain)});
    }
    NearestExpiryFirst(out);
    return out;
}

std::optional<std::vector<TermContract>> TermOfDay(const storage::Database& db,
                                                   std::string_view symbol,
                                                   const std::string& date) {
    const auto contracts = ContractsOfDay(db, date);
    if (!contracts) {
        return std::nullopt;
    }
    const common::Date day = common::ParseDate(date, "%dd.%mm.%yyyy");
    std::vector<TermContract> rows;
    rows.reserve(contracts->size());
    for (const std::string& name : *contracts) {
        const common::Result<OptionChain> chain = ReadOptionChain(db, symbol, date, name);
        if (!chain) {
            return std::nullopt;
        }
        rows.push_back(
            {name, chain->expiration, VolatilityOfChain(*chain, day), ChainOpenInterest(*chain)});
    }
    NearestExpiryFirst(rows);
    return rows;
}

}  // namespace zarvex::analytics
