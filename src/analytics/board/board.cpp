#include "analytics/board/board.h"

#include <algorithm>
#include <tuple>

#include "analytics/board/strike_interest.h"
#include "analytics/forward_points.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

common::Date ExpirationDate(const std::string& expiration) {
    return common::ParseDate(common::Trim(expiration), "%dd.%mm.%yyyy");
}

// Nearest expiration first; a contract whose expiration does not read as a date goes last.
bool ExpiresBefore(const BoardContract& a, const BoardContract& b) {
    const common::Date ea = ExpirationDate(a.expiration);
    const common::Date eb = ExpirationDate(b.expiration);
    const bool a_known = ea != common::kInvalidDate;
    const bool b_known = eb != common::kInvalidDate;
    return std::tie(b_known, ea, a.contract) < std::tie(a_known, eb, b.contract);
}

struct ContractOptions {
    const std::string* contract;
    DayOptions today;
    DayOptions previous;
};

void AddChanges(const std::vector<ContractOptions>& contracts, common::Side side, int top,
                std::vector<OiChange>& build_ups, std::vector<OiChange>& unwinds) {
    std::vector<OiChange> all;
    for (const ContractOptions& options : contracts) {
        const SideOptions& today = options.today.Of(side);
        const SideOptions& previous = options.previous.Of(side);
        // Every strike of either day: a strike gone from today's rows fell to nothing.
        for (const auto& [key, option] : today) {
            const auto before = previous.find(key);
            all.push_back({*options.contract, key.Value(), option.oi,
                           before == previous.end() ? 0 : before->second.oi});
        }
        for (const auto& [key, option] : previous) {
            if (today.find(key) == today.end()) {
                all.push_back({*options.contract, key.Value(), 0, option.oi});
            }
        }
    }
    // Contracts are in expiration order, strikes ascending: a stable sort keeps that order
    // among equal changes.
    std::stable_sort(all.begin(), all.end(),
                     [](const OiChange& a, const OiChange& b) { return a.Change() > b.Change(); });
    const auto limit = static_cast<std::size_t>(std::max(top, 0));
    for (const OiChange& change : all) {
        if (change.Change() > 0 && build_ups.size() < limit) {
            build_ups.push_back(change);
        }
    }
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->Change() < 0 && unwinds.size() < limit) {
            unwinds.push_back(*it);
        }
    }
    // Largest fall first, and among equal falls the same order as the build-ups.
    std::stable_sort(unwinds.begin(), unwinds.end(),
                     [](const OiChange& a, const OiChange& b) { return a.Change() < b.Change(); });
}

std::vector<VolumeLeader> VolumeLeaders(const std::vector<ContractOptions>& contracts,
                                        const BoardOptions& options) {
    std::vector<VolumeLeader> all;
    for (const ContractOptions& contract : contracts) {
        for (const common::Side side : common::kSides) {
            for (const auto& [key, option] : contract.today.Of(side)) {
                if (option.oi > options.volume_floor && option.oi > 0 && option.volume > 0) {
                    all.push_back(
                        {*contract.contract, side, key.Value(), option.volume, option.oi,
                         static_cast<double>(option.volume) / static_cast<double>(option.oi)});
                }
            }
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const VolumeLeader& a, const VolumeLeader& b) {
        return a.ratio > b.ratio;
    });
    all.resize(std::min(all.size(), static_cast<std::size_t>(std::max(options.top, 0))));
    return all;
}

bool HasOpenInterest(const ContractDayFigures& figures) {
    const DayResult& day = figures.result;
    return day.overflow || day.call_oi > 0 || day.put_oi > 0;
}

}  // namespace

const BoardContract* SymbolBoard::Find(std::string_view contract) const {
    const auto found = std::find_if(contracts.begin(), contracts.end(),
                                    [&](const BoardContract& c) { return c.contract == contract; });
    return found == contracts.end() ? nullptr : &*found;
}

const SymbolBoard* Board::Find(std::string_view symbol) const {
    const auto found = std::find_if(symbols.begin(), symbols.end(),
                                    [&](const SymbolBoard& s) { return s.symbol == symbol; });
    return found == symbols.end() ? nullptr : &*found;
}

SymbolBoard BuildSymbolBoard(SymbolRows& rows, const storage::Database& db,
                             const BoardSource& source, common::Date date,
                             const BoardOptions& options, const common::ProgramFolder& folder,
                             const common::Host& host) {
    SymbolBoard board;
    board.symbol = source.input.symbol;
    if (date == common::kInvalidDate || rows.LatestUpTo(date) != date) {
        return board;
    }
    board.date = date;
    board.previous = rows.Before(date, 1);
    std::vector<common::Date> days{date};
    if (board.previous != common::kInvalidDate) {
        days.push_back(board.previous);
    }
    if (!rows.Load(db, days) || !rows.LoadLevels(db, rows.ContractsOn(date))) {
        board.read = common::Outcome::Failed(source.quote_path.string() + ": the quote rows of " +
                                             common::DayText(date) + " cannot be read");
        return board;
    }
    const double fp_today = ResolveForwardPoint(folder, date, source.input.symbol,
                                                source.input.ForwardPointSwitch(), host);
    const double fp_previous =
        board.previous == common::kInvalidDate
            ? 0.0
            : ResolveForwardPoint(folder, board.previous, source.input.symbol,
                                  source.input.ForwardPointSwitch(), host);

    for (const std::string& name : rows.ContractsOn(date)) {
        const ContractRows& contract = *rows.Contract(name);
        BoardContract entry;
        entry.contract = name;
        entry.expiration = contract.expiration;
        entry.today = ComputeContractDay(contract, *SymbolRows::RowsOn(contract, date), date,
                                         source.input, fp_today);
        if (!HasOpenInterest(entry.today)) {
            continue;
        }
        if (const auto* before = board.previous == common::kInvalidDate
                                     ? nullptr
                                     : SymbolRows::RowsOn(contract, board.previous)) {
            entry.previous =
                ComputeContractDay(contract, *before, board.previous, source.input, fp_previous);
        }
        const common::Date expires = ExpirationDate(entry.expiration);
        if (expires != common::kInvalidDate) {
            entry.days_to_expiry = static_cast<int>((expires - date) / common::kSecondsPerDay);
        }
        board.contracts.push_back(std::move(entry));
    }
    std::sort(board.contracts.begin(), board.contracts.end(), ExpiresBefore);
    if (!board.contracts.empty()) {
        board.contracts.front().front = true;
    }

    std::vector<ContractOptions> options_by_contract;
    for (const BoardContract& entry : board.contracts) {
        const ContractRows& contract = *rows.Contract(entry.contract);
        ContractOptions item{
            &entry.contract, OptionsOfDay(contract.rows, *SymbolRows::RowsOn(contract, date)), {}};
        if (board.previous != common::kInvalidDate) {
            if (const auto* before = SymbolRows::RowsOn(contract, board.previous)) {
                item.previous = OptionsOfDay(contract.rows, *before);
            }
        }
        options_by_contract.push_back(std::move(item));
    }
    if (board.previous != common::kInvalidDate) {
        AddChanges(options_by_contract, common::Side::kCall, options.top, board.call_build_ups,
                   board.call_unwinds);
        AddChanges(options_by_contract, common::Side::kPut, options.top, board.put_build_ups,
                   board.put_unwinds);
    }
    board.volume_to_oi = VolumeLeaders(options_by_contract, options);
    board.volatility = SymbolVolatilityOn(folder, board.symbol, date, board.previous);
    return board;
}

Board BuildBoard(const std::vector<BoardSource>& sources, common::Date date, common::Date today,
                 const BoardOptions& options, const common::ProgramFolder& folder,
                 const common::Host& host) {
    std::vector<SymbolRows> rows(sources.size());
    std::vector<storage::Database> databases;
    std::vector<bool> scanned(sources.size(), false);
    Board board;
    board.date = date;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        databases.push_back(storage::Database::OpenReadOnlyForScan(sources[i].quote_path));
        scanned[i] = rows[i].Scan(databases.back());
        if (scanned[i] && date == common::kInvalidDate) {
            const common::Date latest = rows[i].LatestUpTo(today);
            if (latest != common::kInvalidDate &&
                (board.date == common::kInvalidDate || latest > board.date)) {
                board.date = latest;
            }
        }
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (!scanned[i]) {
            SymbolBoard failed;
            failed.symbol = sources[i].input.symbol;
            failed.read =
                common::Outcome::Failed(sources[i].quote_path.string() + ": " +
                                        (databases[i].IsOpen() ? "the quote rows cannot be read"
                                                               : databases[i].OpenError()));
            board.symbols.push_back(std::move(failed));
            continue;
        }
        board.symbols.push_back(
            BuildSymbolBoard(rows[i], databases[i], sources[i], board.date, options, folder, host));
    }
    return board;
}

}  // namespace zarvex::analytics
