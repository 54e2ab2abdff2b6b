#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analytics/board/board_figures.h"
#include "analytics/board/board_volatility.h"
#include "analytics/board/symbol_rows.h"
#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "common/side.h"
#include "storage/database.h"

namespace zarvex::analytics {

// A contract of the board: its figures on the board's day and, when it had rows then, on the
// previous trading day with data.
struct BoardContract {
    std::string contract;
    std::string expiration;
    std::optional<int> days_to_expiry;  // calendar days from the board's day
    bool front = false;                 // the nearest expiring contract of the symbol
    ContractDayFigures today;
    std::optional<ContractDayFigures> previous;

    std::optional<double> ChangeOf(FigureId figure) const {
        return previous ? Change(today[figure], (*previous)[figure]) : std::nullopt;
    }
};

// A strike whose open interest changed since the previous day.
struct OiChange {
    std::string contract;
    double strike = 0.0;
    std::int64_t oi = 0;           // on the board's day
    std::int64_t previous_oi = 0;  // on the previous day
    std::int64_t Change() const { return oi - previous_oi; }
};

// A strike traded heavily against its open interest.
struct VolumeLeader {
    std::string contract;
    common::Side side = common::Side::kCall;
    double strike = 0.0;
    std::int64_t volume = 0;
    std::int64_t oi = 0;
    double ratio = 0.0;  // volume / oi
};

struct SymbolBoard {
    std::string symbol;
    common::Date date = common::kInvalidDate;      // kInvalidDate: no rows on the board's day
    common::Date previous = common::kInvalidDate;  // the previous trading day with data
    // The contracts with open interest on the day, nearest expiration first.
    std::vector<BoardContract> contracts;
    // The largest increases and decreases of open interest, CALL and PUT apart, largest first.
    std::vector<OiChange> call_build_ups;
    std::vector<OiChange> call_unwinds;
    std::vector<OiChange> put_build_ups;
    std::vector<OiChange> put_unwinds;
    std::vector<VolumeLeader> volume_to_oi;
    // Whether the rows could be read, or why not (naming the file): the symbol then has
    // nothing else.
    common::Outcome read = common::Outcome::Done();
    // cm30, IV rank and percentile, RV20 and VRP20 of the day and the previous one.
    std::optional<SymbolVolatility> volatility;

    const BoardContract* Front() const { return contracts.empty() ? nullptr : &contracts.front(); }
    const BoardContract* Find(std::string_view contract) const;
};

struct Board {
    common::Date date = common::kInvalidDate;
    std::vector<SymbolBoard> symbols;

    const SymbolBoard* Find(std::string_view symbol) const;
};

struct BoardOptions {
    int top = 10;  // entries in each list of strikes
    // The volume / open interest list takes strikes with more open interest than this.
    std::int64_t volume_floor = 100;
};

// A symbol's quote database, with the symbol and the settings its panel computes with (which
// must outlive the board's build). The board opens the file read-only on a connection of its
// own.
struct BoardSource {
    AnalysisInput input;
    std::filesystem::path quote_path;
};

// The board of `date`, or, for kInvalidDate, of the latest stored day of any symbol not after
// `today`. Each symbol's stored days are found first (SymbolRows), then the rows of the day and
// the previous trading day with data and the histories of the day's contracts; a symbol without
// rows on the day has no contracts.
Board BuildBoard(const std::vector<BoardSource>& sources, common::Date date, common::Date today,
                 const BoardOptions& options, const common::ProgramFolder& folder,
                 const common::Host& host);

// One symbol's board from its scanned rows of db (the day's and the previous day's rows are
// loaded here).
SymbolBoard BuildSymbolBoard(SymbolRows& rows, const storage::Database& db,
                             const BoardSource& source, common::Date date,
                             const BoardOptions& options, const common::ProgramFolder& folder,
                             const common::Host& host);

}  // namespace zarvex::analytics
