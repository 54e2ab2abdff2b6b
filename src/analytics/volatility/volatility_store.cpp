#include "analytics/volatility/volatility_store.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "analytics/day/quote_queries.h"
#include "analytics/volatility/term_structure.h"
#include "storage/database.h"
#include "storage/statement.h"
#include "storage/store.h"
#include "storage/transaction.h"

namespace zarvex::analytics {

namespace {

constexpr std::string_view kSchema[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE days (date TEXT PRIMARY KEY, day INTEGER, rows INTEGER, max_id INTEGER, "
    "hash INTEGER)",
    "CREATE TABLE contracts (date TEXT, position INTEGER, contract TEXT, expiration TEXT, "
    "days INTEGER, years REAL, forward REAL, discount REAL, atm_vol REAL, rr25 REAL, bf25 REAL, "
    "total_oi INTEGER, PRIMARY KEY (date, position))",
};

// What the term structure of a day reads of its rows, folded into three numbers.
struct Fingerprint {
    std::int64_t rows = 0;
    std::int64_t max_id = 0;
    std::uint64_t hash = 0;

    bool operator==(const Fingerprint&) const = default;

    void Add(const storage::Statement& row) {
        const std::int64_t id = row.ColumnInt(0);
        ++rows;
        max_id = std::max(max_id, id);
        Mix(static_cast<std::uint64_t>(id));
        for (int column = 1; column <= 3; ++column) {
            for (const char c : row.ColumnTextView(column)) {
                Mix(static_cast<unsigned char>(c));
            }
            Mix(0x100);  // the end of a text, so that "AB","C" differs from "A","BC"
        }
        Mix(std::bit_cast<std::uint64_t>(quotes::ReadDouble(row, 4)));
        Mix(std::bit_cast<std::uint64_t>(quotes::ReadDouble(row, 5)));
        Mix(static_cast<std::uint64_t>(quotes::ReadInt(row, 6)));
    }

private:
    void Mix(std::uint64_t value) {
        // FNV-1a over 64-bit words, then a final avalanche per word: cheap, and a changed
        // premium anywhere in a day changes the hash.
        hash = (hash ^ value) * 0x100000001b3ULL;
        hash ^= hash >> 29;
    }
};

constexpr std::string_view kFingerprintColumns =
    "SELECT id, option, contract, expiration, strike, price, oi, date, delta FROM dating "
    "WHERE option IN ('CALL', 'PUT')";
constexpr std::string_view kInIdOrder = " ORDER BY id";

using Fingerprints = std::map<std::string, Fingerprint, std::less<>>;
using DayRows = std::vector<std::pair<std::string, ChainRow>>;

ChainRow ChainRowOf(const storage::Statement& row) {
    // The query takes CALL and PUT rows only.
    const common::Side side =
        common::SideFromText(row.ColumnTextView(1)).value_or(common::Side::kPut);
    return {side,
            quotes::ReadDouble(row, 4),
            quotes::ReadDouble(row, 5),
            quotes::ReadDouble(row, 8),
            quotes::ReadInt(row, 6),
            row.ColumnText(3)};
}

// One pass over every CALL and PUT row, a day at a time (through the index on the date) and in
// id order within it: each day that is one the program can show is handed to `day` with its
// fingerprint and, when `wanted` says so for that fingerprint, its rows. False when the rows
// cannot be read.
template <typename Wanted, typename Day>
bool ScanDays(const storage::Database& quotes, Wanted wanted, Day day) {
    storage::Statement statement =
        quotes.Prepare(std::string(kFingerprintColumns) + " ORDER BY date, id");
    if (!statement.IsValid()) {
        return false;
    }
    std::string date;
    Fingerprint print;
    std::vector<std::pair<std::string, ChainRow>> held;  // the rows of `date` in id order
    bool any = false;
    const auto finish = [&] {
        if (any && common::ParseDate(date, "%dd.%mm.%yyyy") != common::kInvalidDate) {
            const bool keep = wanted(date, print);
            day(date, print, keep ? &held : nullptr);
        }
    };
    while (statement.Step()) {
        const std::string_view row_date = statement.ColumnTextView(7);
        if (!any || row_date != date) {
            finish();
            date = std::string(row_date);
            print = Fingerprint();
            held.clear();
            any = true;
        }
        print.Add(statement);
        held.emplace_back(statement.ColumnText(2), ChainRowOf(statement));
    }
    if (statement.Failed() || !quotes.FaultText().empty()) {
        return false;
    }
    finish();
    return true;
}

std::optional<Fingerprint> DayFingerprint(const storage::Database& quotes,
                                          const std::string& date) {
    storage::Statement statement = quotes::Query(
        quotes, std::string(kFingerprintColumns) + " AND date = ?" + std::string(kInIdOrder),
        {date});
    if (!statement.IsValid()) {
        return std::nullopt;
    }
    Fingerprint print;
    while (statement.Step()) {
        print.Add(statement);
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return print;
}

std::string FileStamp(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return "-";
    }
    const auto time = std::filesystem::last_write_time(path, error);
    if (error) {
        return "-";
    }
    return std::to_string(size) + "@" + std::to_string(time.time_since_epoch().count());
}

std::optional<double> OptionalColumn(const storage::Statement& s, int column) {
    return s.IsNull(column) ? std::nullopt : std::optional<double>(s.ColumnDouble(column));
}

storage::SqlValue OptionalValue(const std::optional<double>& value) {
    return value ? storage::SqlValue(*value) : storage::SqlValue();
}

std::string MetaOf(const storage::Database& db, std::string_view key) {
    storage::Statement s = db.Prepare("SELECT value FROM meta WHERE key = ?");
    s.Bind(1, storage::SqlValue(key));
    return s.Step() ? s.ColumnText(0) : std::string();
}

// The open store file, made (or made anew) with its tables where it is missing, damaged or of
// another layout. A closed database when DB/ is missing or cannot be written.
class StoreFile final {
public:
    StoreFile(const std::filesystem::path& path, std::string_view symbol) : symbol_(symbol) {
        std::error_code error;
        if (!std::filesystem::is_directory(path.parent_path(), error)) {
            return;
        }
        if (!storage::NoFileProblem(path).empty()) {
            return;  // a folder or a FIFO where the file belongs: leave it, work in memory
        }
        db_ = OpenUsable(path);
        if (!db_.IsOpen()) {
            // Nothing in it is worth keeping: it only ever holds what the rows give again.
            std::filesystem::remove(path, error);
            db_ = OpenUsable(path);
        }
    }

    const storage::Database& Db() const { return db_; }
    bool IsOpen() const { return db_.IsOpen(); }

    std::string Meta(std::string_view key) const { return MetaOf(db_, key); }

    std::optional<Fingerprints> StoredFingerprints() const {
        storage::Statement s = db_.Prepare("SELECT date, rows, max_id, hash FROM days");
        Fingerprints out;
        while (s.Step()) {
            Fingerprint& print = out[s.ColumnText(0)];
            print.rows = s.ColumnInt(1);
            print.max_id = s.ColumnInt(2);
            print.hash = static_cast<std::uint64_t>(s.ColumnInt(3));
        }
        if (!s.IsValid() || s.Failed()) {
            return std::nullopt;
        }
        return out;
    }

    // The summaries of the stored days, by date text.
    std::optional<std::map<std::string, DaySummary, std::less<>>> StoredDays() const {
        storage::Statement s = db_.Prepare(
            "SELECT d.date, d.day, c.contract, c.expiration, c.days, c.years, c.forward, "
            "c.discount, c.atm_vol, c.rr25, c.bf25, c.total_oi FROM days d "
            "LEFT JOIN contracts c ON c.date = d.date ORDER BY d.date, c.position");
        std::map<std::string, DaySummary, std::less<>> out;
        while (s.Step()) {
            DaySummary& day = out[s.ColumnText(0)];
            day.date = s.ColumnInt(1);
            if (s.IsNull(2)) {
                continue;
            }
            ContractSummary c;
            c.contract = s.ColumnText(2);
            c.expiration = s.ColumnText(3);
            c.days = s.ColumnInt(4);
            c.years = s.ColumnDouble(5);
            c.forward = OptionalColumn(s, 6);
            c.discount = OptionalColumn(s, 7);
            c.atm_vol = OptionalColumn(s, 8);
            c.rr25 = OptionalColumn(s, 9);
            c.bf25 = OptionalColumn(s, 10);
            c.total_oi = s.ColumnInt(11);
            day.contracts.push_back(std::move(c));
        }
        if (!s.IsValid() || s.Failed() || !db_.FaultText().empty()) {
            return std::nullopt;
        }
        return out;
    }

    // Replaces the named days, removes the gone ones and notes the quote file's stamp, in one
    // transaction.
    bool Write(const std::map<std::string, std::pair<Fingerprint, DaySummary>>& changed,
               const std::vector<std::string>& gone, const std::string& stamp) const {
        storage::Transaction transaction(db_, storage::Transaction::Mode::kImmediate);
        if (!transaction.Began()) {
            return false;
        }
        bool ok = true;
        storage::Statement drop_day = db_.Prepare("DELETE FROM days WHERE date = ?");
        storage::Statement drop_contracts = db_.Prepare("DELETE FROM contracts WHERE date = ?");
        storage::Statement add_day = db_.Prepare("INSERT INTO days VALUES (?, ?, ?, ?, ?)");
        storage::Statement add_contract =
            db_.Prepare("INSERT INTO contracts VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const auto drop = [&](const std::string& date) {
            for (storage::Statement* s : {&drop_day, &drop_contracts}) {
                s->Reset(true);
                s->Bind(1, storage::SqlValue(date));
                ok = s->Run() && ok;
            }
        };
        for (const std::string& date : gone) {
            drop(date);
        }
        for (const auto& [date, entry] : changed) {
            drop(date);
            const auto& [print, day] = entry;
            add_day.Reset(true);
            ok = add_day.BindAll({storage::SqlValue(date), storage::SqlValue(day.date),
                                  storage::SqlValue(print.rows), storage::SqlValue(print.max_id),
                                  storage::SqlValue(static_cast<std::int64_t>(print.hash))}) &&
                 add_day.Run() && ok;
            std::int64_t position = 0;
            for (const ContractSummary& c : day.contracts) {
                add_contract.Reset(true);
                ok = add_contract.BindAll({storage::SqlValue(date), storage::SqlValue(position++),
                                           storage::SqlValue(c.contract),
                                           storage::SqlValue(c.expiration),
                                           storage::SqlValue(c.days), storage::SqlValue(c.years),
                                           OptionalValue(c.forward), OptionalValue(c.discount),
                                           OptionalValue(c.atm_vol), OptionalValue(c.rr25),
                                           OptionalValue(c.bf25), storage::SqlValue(c.total_oi)}) &&
                     add_contract.Run() && ok;
            }
        }
        ok = db_.Execute("INSERT OR REPLACE INTO meta VALUES ('quote_file', ?)",
                         {storage::SqlValue(stamp)}) &&
             ok;
        // A half-written store would pass for an up-to-date one: all of it or nothing.
        return ok && transaction.Commit();
    }

private:
    storage::Database OpenUsable(const std::filesystem::path& path) const {
        std::error_code error;
        if (!std::filesystem::exists(path, error)) {
            std::ofstream make(path, std::ios::binary);
            if (!make) {
                return {};
            }
        }
        storage::Database db = storage::Database::Open(path);
        if (!db.IsOpen()) {
            return {};
        }
        if (std::filesystem::file_size(path, error) == 0 && !error) {
            return Create(std::move(db));
        }
        storage::Statement check = db.Prepare("PRAGMA quick_check");
        if (!check.Step() || check.ColumnText(0) != "ok") {
            return {};
        }
        storage::Statement version = db.Prepare("PRAGMA user_version");
        if (!version.Step() || version.ColumnInt(0) != kVolatilityStoreVersion) {
            return {};
        }
        if (MetaOf(db, "symbol") != symbol_) {
            return {};
        }
        return db;
    }

    storage::Database Create(storage::Database db) const {
        storage::Transaction transaction(db, storage::Transaction::Mode::kImmediate);
        bool ok = transaction.Began();
        for (const std::string_view sql : kSchema) {
            ok = ok && db.Execute(sql);
        }
        ok =
            ok && db.Execute("INSERT INTO meta VALUES ('symbol', ?)", {storage::SqlValue(symbol_)});
        ok = ok && db.Execute("PRAGMA user_version = " + std::to_string(kVolatilityStoreVersion));
        if (!ok || !transaction.Commit()) {
            return {};
        }
        return db;
    }

    std::string symbol_;
    storage::Database db_;
};

std::optional<DaySummary> SummariseDay(const storage::Database& quotes, std::string_view symbol,
                                       const std::string& date) {
    const auto term = TermOfDay(quotes, symbol, date);
    if (!term) {
        return std::nullopt;
    }
    return DaySummary{common::ParseDate(date, "%dd.%mm.%yyyy"), SummaryOfTerm(*term)};
}

// Brings the store in line with the rows and returns every day; `store` may be closed, then
// everything is summarised in memory.
std::optional<VolatilityDays> BringInLine(const StoreFile& store,
                                          const std::filesystem::path& quote_path,
                                          std::string_view symbol, const std::string& stamp,
                                          const StoreProgress& progress) {
    // `stamp` was taken before any row is read: rows written during the pass leave the store
    // older than the file, and the next reader looks again.
    const storage::Database quotes = storage::Database::OpenReadOnlyForScan(quote_path);
    if (!quotes.IsOpen()) {
        return std::nullopt;
    }
    std::optional<Fingerprints> before;
    std::optional<std::map<std::string, DaySummary, std::less<>>> kept;
    if (store.IsOpen()) {
        before = store.StoredFingerprints();
        kept = store.StoredDays();
    }
    if (!before || !kept) {
        before.emplace();
        kept.emplace();
    }
    // The days there are, for the progress: the index on the date alone is read.
    std::size_t total = 0;
    {
        storage::Statement count = quotes.Prepare("SELECT COUNT(DISTINCT date) FROM dating");
        total = count.Step() ? static_cast<std::size_t>(count.ColumnInt(0)) : 0;
    }
    std::size_t done = 0;
    if (progress) {
        progress(0, total);
    }
    VolatilityDays out;
    std::map<std::string, std::pair<Fingerprint, DaySummary>> changed;
    std::vector<std::string> seen;
    const bool read = ScanDays(
        quotes,
        [&](const std::string& date, const Fingerprint& print) {
            const auto at = before->find(date);
            return at == before->end() || at->second != print || !kept->contains(date);
        },
        [&](const std::string& date, const Fingerprint& print, const DayRows* rows) {
            seen.push_back(date);
            if (rows) {
                changed.emplace(
                    date, std::make_pair(
                              print, DaySummary{common::ParseDate(date, "%dd.%mm.%yyyy"),
                                                SummaryOfTerm(TermOfRows(*rows, symbol, date))}));
            }
            if (progress) {
                progress(std::min(++done, total), total);
            }
        });
    if (!read) {
        return std::nullopt;
    }
    std::vector<std::string> gone;
    const std::set<std::string, std::less<>> there(seen.begin(), seen.end());
    for (const auto& [date, print] : *before) {
        if (!there.contains(date)) {
            gone.push_back(date);
        }
    }
    if (progress && done < total) {
        progress(total, total);
    }
    out.recomputed = changed.size();
    out.stored = store.IsOpen() && store.Write(changed, gone, stamp);
    for (const std::string& date : seen) {
        const auto fresh = changed.find(date);
        out.days.push_back(fresh != changed.end() ? fresh->second.second : kept->at(date));
    }
    std::sort(out.days.begin(), out.days.end(),
              [](const DaySummary& a, const DaySummary& b) { return a.date < b.date; });
    return out;
}

}  // namespace

std::filesystem::path VolatilityStorePath(const common::ProgramFolder& folder,
                                          std::string_view symbol) {
    return folder.Db() / (std::string(symbol) + "_volatility.lql");
}

std::string QuoteFileStamp(const common::ProgramFolder& folder, std::string_view symbol) {
    const std::filesystem::path path = storage::QuotePath(folder, symbol);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return "";
    }
    return FileStamp(path) + ";" + FileStamp(path.string() + "-journal") + ";" +
           FileStamp(path.string() + "-wal");
}

std::optional<VolatilityDays> LoadVolatilityDays(const common::ProgramFolder& folder,
                                                 std::string_view symbol,
                                                 const StoreProgress& progress) {
    const std::string stamp = QuoteFileStamp(folder, symbol);
    if (stamp.empty()) {
        return std::nullopt;
    }
    const StoreFile store(VolatilityStorePath(folder, symbol), symbol);
    if (store.IsOpen() && store.Meta("quote_file") == stamp) {
        if (auto days = store.StoredDays()) {
            VolatilityDays out;
            for (auto& [date, day] : *days) {
                out.days.push_back(std::move(day));
            }
            std::sort(out.days.begin(), out.days.end(),
                      [](const DaySummary& a, const DaySummary& b) { return a.date < b.date; });
            return out;
        }
    }
    return BringInLine(store, storage::QuotePath(folder, symbol), symbol, stamp, progress);
}

bool RefreshVolatilityDay(const common::ProgramFolder& folder, std::string_view symbol,
                          const std::string& date, const std::string& stamp_before) {
    const std::string stamp = QuoteFileStamp(folder, symbol);
    if (stamp.empty()) {
        return false;
    }
    const StoreFile store(VolatilityStorePath(folder, symbol), symbol);
    if (!store.IsOpen()) {
        return false;
    }
    if (stamp_before.empty() || store.Meta("quote_file") != stamp_before) {
        const auto days = BringInLine(store, storage::QuotePath(folder, symbol), symbol, stamp, {});
        return days && days->stored;
    }
    const storage::Database quotes =
        storage::Database::OpenReadOnly(storage::QuotePath(folder, symbol));
    const auto print = DayFingerprint(quotes, date);
    if (!print) {
        return false;
    }
    const auto stored = store.StoredFingerprints();
    if (!stored) {
        return false;
    }
    std::map<std::string, std::pair<Fingerprint, DaySummary>> changed;
    std::vector<std::string> gone;
    const auto at = stored->find(date);
    const bool is_day = common::ParseDate(date, "%dd.%mm.%yyyy") != common::kInvalidDate;
    if (print->rows == 0 || !is_day) {
        if (at != stored->end()) {
            gone.push_back(date);
        }
    } else if (at == stored->end() || at->second != *print) {
        auto day = SummariseDay(quotes, symbol, date);
        if (!day) {
            return false;
        }
        changed.emplace(date, std::make_pair(*print, std::move(*day)));
    }
    if (changed.empty() && gone.empty() && stamp == stamp_before) {
        return true;  // a day extracted before: nothing moved
    }
    return store.Write(changed, gone, stamp);
}

}  // namespace zarvex::analytics
