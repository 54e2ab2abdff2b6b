#include "analytics/volatility/volatility_store.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
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

// A day waiting for its summary has no fingerprint (rows, max_id and hash are NULL) and no
// contracts. `checksum` hashes what a day's rows of both tables hold, and the meta entry
// "check" is the exclusive or of every day's: the store is written without waiting for the
// disk (it is a cache), so a write torn by a crash of the computer is found by its reader.
constexpr std::string_view kSchema[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE days (date TEXT PRIMARY KEY, day INTEGER, rows INTEGER, max_id INTEGER, "
    "hash INTEGER, checksum INTEGER)",
    "CREATE TABLE contracts (date TEXT, position INTEGER, contract TEXT, expiration TEXT, "
    "days INTEGER, years REAL, forward REAL, discount REAL, atm_vol REAL, rr25 REAL, bf25 REAL, "
    "total_oi INTEGER, PRIMARY KEY (date, position))",
    "CREATE TABLE smiles (date TEXT, position INTEGER, points BLOB, checksum INTEGER, "
    "PRIMARY KEY (date, position))",
};

void AddRow(DayFingerprint& print, const storage::Statement& row) {
    print.Add(row.ColumnInt(0), row.ColumnTextView(1), row.ColumnTextView(2), row.ColumnTextView(3),
              quotes::ReadDouble(row, 4), quotes::ReadDouble(row, 5), quotes::ReadInt(row, 6));
}

// The rows the left panel's queries and the board match: an option or contract that is no text
// is matched by none of them.
constexpr std::string_view kFingerprintColumns =
    "SELECT id, option, contract, expiration, strike, price, oi, date, delta FROM dating "
    "WHERE option IN ('CALL', 'PUT') AND typeof(contract) = 'text'";
constexpr std::string_view kInIdOrder = " ORDER BY id";

using Fingerprints = std::map<std::string, DayFingerprint, std::less<>>;
using DayRows = std::vector<std::pair<std::string, ChainRow>>;
// What a write puts in place of a day: its fingerprint and summary, or none while it waits.
using NewDays = std::map<std::string, std::optional<std::pair<DayFingerprint, DaySummary>>>;

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

// A day's checksum over what the store holds of it.
class Checksum final {
public:
    explicit Checksum(std::string_view date) {
        Text(date);
        Mix(0x100);
    }
    void Number(std::int64_t value) { Mix(static_cast<std::uint64_t>(value)); }
    void Real(double value) { Mix(std::bit_cast<std::uint64_t>(value)); }
    void Optional(const std::optional<double>& value) {
        Mix(value ? 1 : 2);
        if (value) {
            Real(*value);
        }
    }
    void Text(std::string_view text) {
        for (const char c : text) {
            Mix(static_cast<unsigned char>(c));
        }
        Mix(0x100);
    }
    std::int64_t Value() const { return static_cast<std::int64_t>(hash_); }

private:
    void Mix(std::uint64_t value) {
        hash_ = (hash_ ^ value) * 0x100000001b3ULL;
        hash_ ^= hash_ >> 29;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// The checksum of a day's rows; `print` none for a day waiting for its summary.
std::int64_t DayChecksum(std::string_view date, common::Date day,
                         const std::optional<DayFingerprint>& print,
                         const std::vector<ContractSummary>& contracts) {
    Checksum sum(date);
    sum.Number(day);
    sum.Number(print ? 1 : 0);
    if (print) {
        sum.Number(print->rows);
        sum.Number(print->max_id);
        sum.Number(static_cast<std::int64_t>(print->hash));
    }
    for (const ContractSummary& c : contracts) {
        sum.Text(c.contract);
        sum.Text(c.expiration);
        sum.Number(c.days);
        sum.Real(c.years);
        sum.Optional(c.forward);
        sum.Optional(c.discount);
        sum.Optional(c.atm_vol);
        sum.Optional(c.rr25);
        sum.Optional(c.bf25);
        sum.Number(c.total_oi);
    }
    return sum.Value();
}

// A smile's points as the file keeps them: strike and volatility of each point, each as the
// eight bytes of its value, least significant first.
std::string SmileBytes(const std::vector<SmilePoint>& smile) {
    std::string bytes;
    bytes.reserve(smile.size() * 16);
    const auto put = [&bytes](double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        for (int shift = 0; shift < 64; shift += 8) {
            bytes.push_back(static_cast<char>((bits >> shift) & 0xff));
        }
    };
    for (const SmilePoint& point : smile) {
        put(point.strike);
        put(point.vol);
    }
    return bytes;
}

// More points than any day lists strikes: a smile of more is none of ours.
constexpr std::size_t kMostSmilePoints = 100000;

// The points, where they are a smile as the solver gives one: strikes above zero and ascending,
// volatilities in (0, 5].
std::optional<std::vector<SmilePoint>> SmileOfBytes(std::string_view bytes) {
    if (bytes.size() % 16 != 0 || bytes.size() / 16 > kMostSmilePoints) {
        return std::nullopt;
    }
    const auto get = [&bytes](std::size_t at) {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) {
            bits =
                (bits << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        }
        return std::bit_cast<double>(bits);
    };
    std::vector<SmilePoint> smile(bytes.size() / 16);
    for (std::size_t i = 0; i < smile.size(); ++i) {
        smile[i] = {get(i * 16), get(i * 16 + 8)};
        const SmilePoint& point = smile[i];
        if (!(point.strike > 0.0) || !std::isfinite(point.strike) || !(point.vol > 0.0) ||
            !(point.vol <= 5.0) || (i > 0 && !(point.strike > smile[i - 1].strike))) {
            return std::nullopt;
        }
    }
    return smile;
}

// The checksum of a contract's smile, tied to the contract's summary: a smile left over from
// another summary of the day does not add up.
std::int64_t SmileChecksum(std::string_view date, std::int64_t position, const ContractSummary& c,
                           const std::vector<SmilePoint>& smile) {
    Checksum sum(date);
    sum.Number(position);
    sum.Text(c.contract);
    sum.Text(c.expiration);
    sum.Number(c.days);
    sum.Optional(c.forward);
    sum.Optional(c.discount);
    sum.Number(static_cast<std::int64_t>(smile.size()));
    for (const SmilePoint& point : smile) {
        sum.Real(point.strike);
        sum.Real(point.vol);
    }
    return sum.Value();
}

// One pass over the CALL and PUT rows (of every day, or of `one_day`), a day at a time (through
// the index on the date) and in id order within it: each day that is one the program can show
// is handed to `day` with its fingerprint and, when `wanted` says so for that fingerprint, its
// rows. False when the rows cannot be read.
template <typename Wanted, typename Day>
bool ScanDays(const storage::Database& quotes, const std::string* one_day, Wanted wanted, Day day) {
    storage::Statement statement =
        one_day != nullptr
            ? quotes::Query(
                  quotes,
                  std::string(kFingerprintColumns) + " AND date = ?" + std::string(kInIdOrder),
                  {*one_day})
            : quotes.Prepare(std::string(kFingerprintColumns) + " ORDER BY date, id");
    if (!statement.IsValid()) {
        return false;
    }
    std::string date;
    DayFingerprint print;
    DayRows held;  // the rows of `date` in id order
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
            print = DayFingerprint();
            held.clear();
            any = true;
        }
        AddRow(print, statement);
        held.emplace_back(statement.ColumnText(2), ChainRowOf(statement));
    }
    if (statement.Failed() || !quotes.FaultText().empty()) {
        return false;
    }
    finish();
    return true;
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

std::optional<std::int64_t> CheckOf(const storage::Database& db) {
    const std::string text = MetaOf(db, "check");
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A store written without waiting for the disk and without a journal file: it is a cache, and
// its checksums (and SQLite's check of the file) find a write that a crash tore, after which it
// is rebuilt.
void WriteWithoutWaiting(const storage::Database& db) {
    db.Execute("PRAGMA synchronous = OFF");
    db.Execute("PRAGMA journal_mode = MEMORY");
}

// A stored day as its reader gets it.
struct StoredDay {
    DaySummary summary;
    std::optional<DayFingerprint> print;  // none: waiting for its summary
};
using StoredDayMap = std::map<std::string, StoredDay, std::less<>>;

// Replaces the named days (a day without a value waits for its summary), removes the gone
// ones, or first every day with `reset`, and notes the quote file's stamp, in one
// transaction.
bool WriteDays(const storage::Database& db, const NewDays& changed,
               const std::vector<std::string>& gone, const std::string& stamp, bool reset) {
    storage::Transaction transaction(db, storage::Transaction::Mode::kImmediate);
    if (!transaction.Began()) {
        return false;
    }
    bool ok = true;
    std::int64_t check = 0;
    if (reset) {
        ok = db.Execute("DELETE FROM days") && db.Execute("DELETE FROM contracts") &&
             db.Execute("DELETE FROM smiles");
    } else {
        const auto stored = CheckOf(db);
        ok = stored.has_value();
        check = stored.value_or(0);
    }
    storage::Statement old_sum = db.Prepare("SELECT checksum FROM days WHERE date = ?");
    storage::Statement drop_day = db.Prepare("DELETE FROM days WHERE date = ?");
    storage::Statement drop_contracts = db.Prepare("DELETE FROM contracts WHERE date = ?");
    storage::Statement drop_smiles = db.Prepare("DELETE FROM smiles WHERE date = ?");
    storage::Statement add_day = db.Prepare("INSERT INTO days VALUES (?, ?, ?, ?, ?, ?)");
    // Prepared at their first contract: the day run writes a day without any.
    std::optional<storage::Statement> add_contract;
    std::optional<storage::Statement> add_smile;
    const auto drop = [&](const std::string& date) {
        if (reset) {
            return;
        }
        old_sum.Reset(true);
        old_sum.Bind(1, storage::SqlValue(date));
        if (old_sum.Step()) {
            check ^= old_sum.ColumnInt(0);
        }
        ok = !old_sum.Failed() && ok;
        for (storage::Statement* s : {&drop_day, &drop_contracts, &drop_smiles}) {
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
        const common::Date day =
            entry ? entry->second.date : common::ParseDate(date, "%dd.%mm.%yyyy");
        const std::optional<DayFingerprint> print =
            entry ? std::optional<DayFingerprint>(entry->first) : std::nullopt;
        static const std::vector<ContractSummary> kNone;
        const std::vector<ContractSummary>& contracts = entry ? entry->second.contracts : kNone;
        const std::int64_t sum = DayChecksum(date, day, print, contracts);
        check ^= sum;
        add_day.Reset(true);
        ok = add_day.BindAll({storage::SqlValue(date), storage::SqlValue(day),
                              print ? storage::SqlValue(print->rows) : storage::SqlValue(),
                              print ? storage::SqlValue(print->max_id) : storage::SqlValue(),
                              print ? storage::SqlValue(static_cast<std::int64_t>(print->hash))
                                    : storage::SqlValue(),
                              storage::SqlValue(sum)}) &&
             add_day.Run() && ok;
        std::int64_t position = 0;
        for (const ContractSummary& c : contracts) {
            if (!add_contract) {
                add_contract =
                    db.Prepare("INSERT INTO contracts VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
                add_smile = db.Prepare("INSERT INTO smiles VALUES (?, ?, ?, ?)");
            }
            if (c.smile && c.forward) {
                add_smile->Reset(true);
                ok = add_smile->BindAll({storage::SqlValue(date), storage::SqlValue(position)}) &&
                     add_smile->BindBlob(3, SmileBytes(*c.smile)) &&
                     add_smile->Bind(
                         4, storage::SqlValue(SmileChecksum(date, position, c, *c.smile))) &&
                     add_smile->Run() && ok;
            }
            add_contract->Reset(true);
            ok = add_contract->BindAll({storage::SqlValue(date), storage::SqlValue(position++),
                                        storage::SqlValue(c.contract),
                                        storage::SqlValue(c.expiration), storage::SqlValue(c.days),
                                        storage::SqlValue(c.years), OptionalValue(c.forward),
                                        OptionalValue(c.discount), OptionalValue(c.atm_vol),
                                        OptionalValue(c.rr25), OptionalValue(c.bf25),
                                        storage::SqlValue(c.total_oi)}) &&
                 add_contract->Run() && ok;
        }
    }
    ok = db.Execute("INSERT OR REPLACE INTO meta VALUES ('quote_file', ?)",
                    {storage::SqlValue(stamp)}) &&
         db.Execute("INSERT OR REPLACE INTO meta VALUES ('check', ?)",
                    {storage::SqlValue(std::to_string(check))}) &&
         ok;
    // A half-written store would pass for an up-to-date one: all of it or nothing.
    return ok && transaction.Commit();
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

    // Every stored day by date text, with the smiles that add up where `smiles` asks for them;
    // nullopt when the rows cannot be read or do not add up to their checksums.
    std::optional<StoredDayMap> StoredDays(StoredSmiles smiles = StoredSmiles::kLeave) const {
        // Each table in the order it lies in the file, without a seek for each row; a day's
        // contracts are then put in the order of their positions.
        storage::Statement days =
            db_.Prepare("SELECT date, day, rows, max_id, hash, checksum FROM days");
        StoredDayMap out;
        std::map<std::string, std::int64_t, std::less<>> sums;
        while (days.Step()) {
            StoredDay day;
            day.summary.date = days.ColumnInt(1);
            if (!days.IsNull(2)) {
                day.print = DayFingerprint{days.ColumnInt(2), days.ColumnInt(3),
                                           static_cast<std::uint64_t>(days.ColumnInt(4))};
            }
            const auto at = out.emplace(days.ColumnText(0), std::move(day)).first;
            sums.emplace(at->first, days.ColumnInt(5));
        }
        if (!days.IsValid() || days.Failed()) {
            return std::nullopt;
        }
        storage::Statement s = db_.Prepare(
            "SELECT date, position, contract, expiration, days, years, forward, discount, "
            "atm_vol, rr25, bf25, total_oi FROM contracts");
        // Each day's contracts with their positions, as they come.
        std::map<StoredDay*, std::vector<std::pair<std::int64_t, ContractSummary>>> placed;
        StoredDayMap::iterator of = out.end();
        std::vector<std::pair<std::int64_t, ContractSummary>>* into = nullptr;
        while (s.Step()) {
            const std::string_view date = s.ColumnTextView(0);
            if (of == out.end() || of->first != date) {
                of = out.find(date);
                if (of == out.end()) {
                    continue;  // a contract of no day is no part of the store
                }
                into = &placed[&of->second];
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
            into->emplace_back(s.ColumnInt(1), std::move(c));
        }
        if (!s.IsValid() || s.Failed() || !db_.FaultText().empty()) {
            return std::nullopt;
        }
        for (auto& [stored, contracts] : placed) {
            std::stable_sort(contracts.begin(), contracts.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            stored->summary.contracts.reserve(contracts.size());
            for (auto& [position, contract] : contracts) {
                stored->summary.contracts.push_back(std::move(contract));
            }
        }
        std::int64_t check = 0;
        for (const auto& [date, day] : out) {
            const std::int64_t sum = sums.at(date);
            if (DayChecksum(date, day.summary.date, day.print, day.summary.contracts) != sum ||
                (!day.print && !day.summary.contracts.empty())) {
                return std::nullopt;
            }
            check ^= sum;
        }
        if (CheckOf(db_) != check) {
            return std::nullopt;
        }
        if (smiles == StoredSmiles::kRead && !ReadSmiles(out)) {
            return std::nullopt;
        }
        return out;
    }

    bool Write(const NewDays& changed, const std::vector<std::string>& gone,
               const std::string& stamp, bool reset = false) const {
        return WriteDays(db_, changed, gone, stamp, reset);
    }

private:
    // Each day's smiles onto its contracts, those that add up to their checksums; false when
    // the rows cannot be read.
    bool ReadSmiles(StoredDayMap& days) const {
        storage::Statement s = db_.Prepare("SELECT date, position, points, checksum FROM smiles");
        StoredDayMap::iterator day = days.end();
        while (s.Step()) {
            const std::string_view date = s.ColumnTextView(0);
            if (day == days.end() || day->first != date) {
                day = days.find(date);
                if (day == days.end()) {
                    continue;
                }
            }
            std::vector<ContractSummary>& contracts = day->second.summary.contracts;
            const std::int64_t position = s.ColumnInt(1);
            if (position < 0 || position >= static_cast<std::int64_t>(contracts.size())) {
                continue;
            }
            ContractSummary& contract = contracts[static_cast<std::size_t>(position)];
            auto smile = SmileOfBytes(s.ColumnBlobView(2));
            if (smile && contract.forward &&
                SmileChecksum(day->first, position, contract, *smile) == s.ColumnInt(3)) {
                contract.smile = std::move(smile);
            }
        }
        return s.IsValid() && !s.Failed() && db_.FaultText().empty();
    }

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
        WriteWithoutWaiting(db);
        // Read where it lies rather than copied page by page: the check and the readers go
        // through all of it.
        db.Execute("PRAGMA mmap_size = 268435456");
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
        ok = ok && db.Execute("INSERT INTO meta VALUES ('check', '0')");
        ok = ok && db.Execute("PRAGMA user_version = " + std::to_string(kVolatilityStoreVersion));
        if (!ok || !transaction.Commit()) {
            return {};
        }
        return db;
    }

    std::string symbol_;
    storage::Database db_;
};

// The summary of the day's rows (in id order, each with its contract).
DaySummary SummaryOfRows(const std::string& date, const DayRows& rows, std::string_view symbol) {
    return {common::ParseDate(date, "%dd.%mm.%yyyy"),
            SummaryOfTerm(TermOfRows(rows, symbol, date))};
}

// The handed day's summary where it is the one of these rows.
std::optional<DaySummary> Handed(const HandedDay* handed, const std::string& date,
                                 const DayFingerprint& print) {
    if (handed == nullptr || handed->date != date || !(handed->print == print)) {
        return std::nullopt;
    }
    return SummaryOfHanded(*handed);
}

// Brings the store in line with the rows and returns every day; `store` may be closed, then
// everything is summarised in memory. `kept` (nullopt: none usable) are the stored days.
std::optional<VolatilityDays> BringInLine(const StoreFile& store,
                                          const std::filesystem::path& quote_path,
                                          std::string_view symbol, const std::string& stamp,
                                          const StoreProgress& progress,
                                          std::optional<StoredDayMap> kept,
                                          const HandedDay* handed) {
    // `stamp` was taken before any row is read: rows written during the pass leave the store
    // older than the file, and the next reader looks again.
    const storage::Database quotes = storage::Database::OpenReadOnlyForScan(quote_path);
    if (!quotes.IsOpen()) {
        return std::nullopt;
    }
    const bool reset = !kept.has_value();
    if (!kept) {
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
    NewDays changed;
    std::vector<std::string> seen;
    const bool read = ScanDays(
        quotes, nullptr,
        [&](const std::string& date, const DayFingerprint& print) {
            const auto at = kept->find(date);
            return (at == kept->end() || at->second.print != print) && !Handed(handed, date, print);
        },
        [&](const std::string& date, const DayFingerprint& print, const DayRows* rows) {
            seen.push_back(date);
            const auto at = kept->find(date);
            if (at == kept->end() || at->second.print != print) {
                auto summary = Handed(handed, date, print);
                out.recomputed += summary ? 0 : 1;
                out.handed = out.handed || summary.has_value();
                changed.emplace(
                    date, std::make_pair(print, summary ? std::move(*summary)
                                                        : SummaryOfRows(date, *rows, symbol)));
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
    for (const auto& [date, day] : *kept) {
        if (!there.contains(date)) {
            gone.push_back(date);
        }
    }
    if (progress && done < total) {
        progress(total, total);
    }
    out.stored = store.IsOpen() && store.Write(changed, gone, stamp, reset);
    for (const std::string& date : seen) {
        const auto fresh = changed.find(date);
        out.days.push_back(fresh != changed.end() ? fresh->second->second : kept->at(date).summary);
    }
    std::sort(out.days.begin(), out.days.end(),
              [](const DaySummary& a, const DaySummary& b) { return a.date < b.date; });
    return out;
}

// The stored days in line with the rows, with the days that wait for their summary summarised
// (from `handed` where it is theirs, else from their rows); nullopt when a waiting day's rows
// cannot be read.
std::optional<VolatilityDays> FillWaitingDays(const StoreFile& store,
                                              const std::filesystem::path& quote_path,
                                              std::string_view symbol, const std::string& stamp,
                                              StoredDayMap days, const HandedDay* handed) {
    VolatilityDays out;
    NewDays changed;
    std::vector<std::string> gone;
    std::optional<storage::Database> quotes;
    for (const auto& [date, day] : days) {
        if (day.print) {
            continue;
        }
        if (handed != nullptr && handed->date == date) {
            if (auto summary = SummaryOfHanded(*handed)) {
                changed.emplace(date, std::make_pair(handed->print, std::move(*summary)));
                out.handed = true;
                continue;
            }
        }
        if (!quotes) {
            quotes.emplace(storage::Database::OpenReadOnly(quote_path));
        }
        bool any = false;
        const bool read = ScanDays(
            *quotes, &date, [](const std::string&, const DayFingerprint&) { return true; },
            [&](const std::string& text, const DayFingerprint& print, const DayRows* rows) {
                any = true;
                ++out.recomputed;
                changed.emplace(text, std::make_pair(print, SummaryOfRows(text, *rows, symbol)));
            });
        if (!read) {
            return std::nullopt;
        }
        if (!any) {
            gone.push_back(date);  // the day run wrote it without a CALL or PUT row
        }
    }
    if (!changed.empty() || !gone.empty()) {
        out.stored = store.Write(changed, gone, stamp);
    }
    for (auto& [date, day] : days) {
        const auto fresh = changed.find(date);
        if (fresh != changed.end()) {
            out.days.push_back(std::move(fresh->second->second));
        } else if (day.print) {
            out.days.push_back(std::move(day.summary));
        }
    }
    std::sort(out.days.begin(), out.days.end(),
              [](const DaySummary& a, const DaySummary& b) { return a.date < b.date; });
    return out;
}

// The store as the day run finds it, without the reader's whole-file check: the day run only
// adds a day that waits for its summary, and the next reader checks the file before it trusts
// a day.
storage::Database OpenForTheDayRun(const std::filesystem::path& path, std::string_view symbol) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return {};
    }
    storage::Database db = storage::Database::Open(path);
    if (!db.IsOpen()) {
        return {};
    }
    WriteWithoutWaiting(db);
    storage::Statement version = db.Prepare("PRAGMA user_version");
    if (!version.Step() || version.ColumnInt(0) != kVolatilityStoreVersion ||
        MetaOf(db, "symbol") != symbol) {
        return {};
    }
    return db;
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
                                                 const StoreProgress& progress,
                                                 const HandedDay* handed, StoredSmiles smiles) {
    const std::string stamp = QuoteFileStamp(folder, symbol);
    if (stamp.empty()) {
        return std::nullopt;
    }
    const std::filesystem::path quote_path = storage::QuotePath(folder, symbol);
    const StoreFile store(VolatilityStorePath(folder, symbol), symbol);
    std::optional<StoredDayMap> days;
    if (store.IsOpen()) {
        days = store.StoredDays(smiles);
    }
    std::optional<VolatilityDays> out =
        days && store.Meta("quote_file") == stamp
            ? FillWaitingDays(store, quote_path, symbol, stamp, std::move(*days), handed)
            : BringInLine(store, quote_path, symbol, stamp, progress, std::move(days), handed);
    if (out && smiles == StoredSmiles::kLeave) {
        // The days summarised just now carry theirs.
        for (DaySummary& day : out->days) {
            for (ContractSummary& contract : day.contracts) {
                contract.smile.reset();
            }
        }
    }
    return out;
}

bool RefreshVolatilityDay(const common::ProgramFolder& folder, std::string_view symbol,
                          const std::string& date, const std::string& stamp_before) {
    const std::string stamp = QuoteFileStamp(folder, symbol);
    if (stamp.empty() || common::ParseDate(date, "%dd.%mm.%yyyy") == common::kInvalidDate) {
        return false;
    }
    const std::filesystem::path path = VolatilityStorePath(folder, symbol);
    if (!stamp_before.empty()) {
        const storage::Database db = OpenForTheDayRun(path, symbol);
        if (db.IsOpen() && MetaOf(db, "quote_file") == stamp_before) {
            // In line before the extraction, which wrote this day alone: the day waits for its
            // summary, which the evening's board hands over or the next reader makes.
            return stamp == stamp_before || WriteDays(db, {{date, std::nullopt}}, {}, stamp, false);
        }
    }
    const StoreFile store(path, symbol);
    if (!store.IsOpen()) {
        return false;
    }
    std::optional<StoredDayMap> days = store.StoredDays();
    const auto brought = BringInLine(store, storage::QuotePath(folder, symbol), symbol, stamp, {},
                                     std::move(days), nullptr);
    return brought && brought->stored;
}

}  // namespace zarvex::analytics
