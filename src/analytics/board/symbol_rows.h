#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analytics/day/stored_rows.h"
#include "analytics/volatility/handed_day.h"
#include "common/date.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The quote rows of one symbol as the evening board needs them: every stored day, the full rows
// of the few days the board compares, and per contract of those days the CALL and PUT level
// strikes and the expiration that its whole history gives (the panel pours every row of a
// contract into its levels).
//
// A file with the program's indexes on `date` and `contract` is read through them: the days by
// seeking from one date to the next, a day's rows by its date, and a contract's history only
// for the contracts of the loaded days, with the few columns the levels keep. A file without
// them (an old or foreign one) is read with one pass over every row, and the days by the range
// of row ids they were found in. Both roads give the same rows, levels and expirations.
class SymbolRows final {
public:
    // False when the file cannot be read (no quote table, a damaged file).
    bool Scan(const storage::Database& db);

    // The stored days with CALL or PUT rows whose text is a day the panel can show, oldest
    // first.
    const std::vector<common::Date>& Days() const { return days_; }
    // The last stored day not after `day`; kInvalidDate when there is none.
    common::Date LatestUpTo(common::Date day) const;
    // The stored day `steps` days before `day` (1 = the previous trading day with data);
    // kInvalidDate when there are not as many.
    common::Date Before(common::Date day, int steps) const;

    // Reads the full rows of the given days (already scanned) into the contracts, with each
    // contract's expiration; a day read before is not read again. False when a read failed.
    bool Load(const storage::Database& db, const std::vector<common::Date>& days);
    // Completes the level strikes of the given contracts (of loaded days) from their whole
    // history; a contract done before is not read again. False when a read failed.
    bool LoadLevels(const storage::Database& db, const std::vector<std::string>& contracts);

    // The contract's expiration, the rows of the loaded days and (after LoadLevels) its levels;
    // null for a contract without CALL or PUT rows on a loaded day.
    const ContractRows* Contract(std::string_view contract) const;
    // The positions of the contract's rows on a loaded day; null when it has none.
    static const std::vector<std::size_t>* RowsOn(const ContractRows& rows, common::Date day);
    // The contracts that have rows on a loaded day, in no particular order.
    std::vector<std::string> ContractsOn(common::Date day) const;

    // What the volatility store would read of a loaded day's rows beside what it solves: their
    // fingerprint, the contracts in the order of their first row, and each contract's
    // expiration as the day's rows give it (the last PUT row's, else the last CALL row's).
    struct DayReading {
        DayFingerprint print;
        std::vector<std::string> contracts;
        std::map<std::string, std::string, std::less<>> expirations;
    };
    // Null for a day not loaded.
    const DayReading* ReadingOf(common::Date day) const;

private:
    // The volumes of one side of a contract by strike, in order of first appearance: all that
    // the level strikes keep of the rows.
    struct StrikeTotals {
        std::vector<double> strikes;
        std::vector<std::int64_t> totals;
        std::unordered_map<double, std::size_t> index;
        std::size_t next = 0;  // where the next row's strike usually is: days repeat their strikes
        std::int64_t zero_volume = 0;  // rows with the strike 0.0 after the last new strike
        std::int64_t last_id = -1;     // the side's last row, whose expiration counts

        void Add(double strike, std::int64_t volume);
    };
    struct Entry {
        ContractRows rows;
        StrikeTotals call;
        StrikeTotals put;
        bool expiration_read = false;
        bool levels_read = false;
    };
    struct DaySpan {
        std::int64_t first_id = 0;
        std::int64_t last_id = 0;
    };

    bool ScanEveryRow(const storage::Database& db);
    bool SeekDays(const storage::Database& db);
    // With the statements of Load and LoadLevels, bound here to the contract.
    static bool ReadExpiration(sqlite3_stmt* statement, const std::string& name, Entry& entry);
    static bool ReadHistory(sqlite3_stmt* statement, const std::string& name, Entry& entry);
    // Turns the strike totals into the levels (what they keep of the rows).
    static void FinishLevels(Entry& entry);

    // True when the file has the indexes the seeking road needs.
    bool indexed_ = false;
    std::map<std::string, Entry, std::less<>> contracts_;
    std::map<std::string, DaySpan, std::less<>> spans_;
    std::vector<common::Date> loaded_;
    std::map<common::Date, DayReading> readings_;
    std::vector<common::Date> days_;
};

}  // namespace zarvex::analytics
