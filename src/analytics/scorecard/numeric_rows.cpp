#include "analytics/scorecard/numeric_rows.h"

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "common/side.h"

namespace zarvex::analytics {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using RawStatement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Every row, the side told by the option's text: the panel's queries take a row as a CALL when
// `option = 'CALL'`, which under the column's usual binary collation is exactly a text of those
// bytes, so the comparison is made on the bytes rather than by the database for each of a
// million rows. The contract's NULL is told by the value's storage class.
constexpr std::string_view kRowsSql =
    "SELECT contract, date, option, strike, price, delta, volume, oi FROM dating ORDER BY rowid";
// The same where the option column compares otherwise (a file declaring another collation):
// the database's own comparison names the side.
constexpr std::string_view kComparedRowsSql =
    "SELECT contract, date, CASE WHEN option = ?1 THEN ?1 WHEN option = ?2 THEN ?2 END, strike, "
    "price, delta, volume, oi FROM dating ORDER BY rowid";
enum Column : int { kContract, kDate, kOption, kStrike, kPrice, kDelta, kVolume, kOi };
// A contract's expiration as the panel reads it, the last row's of a side: asked of the index on
// the contract for each contract rather than read from each of a million rows.
constexpr std::string_view kLastExpirationSql =
    "SELECT expiration FROM dating WHERE contract = ?1 AND option = ?2 ORDER BY rowid DESC LIMIT 1";

constexpr std::string_view kCall = common::SideText(common::Side::kCall);
constexpr std::string_view kPut = common::SideText(common::Side::kPut);

// Whether `option` of the quote table compares its texts byte by byte.
bool BinaryOption(const storage::Database& db) {
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db.Handle(), nullptr, "dating", "option", nullptr, &collation,
                                      nullptr, nullptr, nullptr) != SQLITE_OK ||
        collation == nullptr) {
        return false;
    }
    return sqlite3_stricmp(collation, "BINARY") == 0;
}

// Up to here a real reads as an integer by plain truncation; beyond it SQLite clamps, and such a
// value is kept whole rather than the clamp copied.
constexpr double kPlainRealLimit = 9.0e18;

// The texts compared on every row are a few bytes long: a loop the compiler keeps inline beats
// a call into the library a million times over.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    std::size_t i = 0;
    // Eight bytes at a time (a day's text is ten).
    for (; i + 8 <= a.size(); i += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            return false;
        }
    }
    for (; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// One result row's values. The raw statement API, because the storage class of each value decides
// whether a row is plain, and the Statement wrapper does not tell it; and through the values
// themselves, which read without the connection's lock and return to it once per column
// rather than for every reading. Valid until the statement moves on; the connection must not
// be used by another thread meanwhile.
class ResultRow final {
public:
    explicit ResultRow(sqlite3_stmt* statement) {
        for (int column = 0; column < kColumns; ++column) {
            values_[static_cast<std::size_t>(column)] = sqlite3_column_value(statement, column);
        }
    }

    // The column as ReadStoredText reads it ("" for NULL).
    std::string_view Text(int column) const {
        sqlite3_value* value = At(column);
        const auto* text = sqlite3_value_text(value);
        return text == nullptr
                   ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(text),
                                      static_cast<std::size_t>(sqlite3_value_bytes(value)));
    }
    bool IsNull(int column) const { return sqlite3_value_type(At(column)) == SQLITE_NULL; }
    bool IsText(int column) const { return sqlite3_value_type(At(column)) == SQLITE_TEXT; }

    bool PlainReal(int column, double& out) const {
        sqlite3_value* value = At(column);
        if (sqlite3_value_type(value) != SQLITE_FLOAT) {
            return false;
        }
        out = sqlite3_value_double(value);
        return std::fabs(out) < kPlainRealLimit;
    }
    bool PlainInteger(int column, std::int64_t& out) const {
        sqlite3_value* value = At(column);
        if (sqlite3_value_type(value) != SQLITE_INTEGER) {
            return false;
        }
        out = sqlite3_value_int64(value);
        return true;
    }

private:
    static constexpr int kColumns = kOi + 1;
    sqlite3_value* At(int column) const { return values_[static_cast<std::size_t>(column)]; }

    std::array<sqlite3_value*, kColumns> values_{};
};

// What ReadStoredValue gives for a plain real and for an integer, written over `value` (whose
// text keeps its memory for the next row).
void SetReal(StoredValue& value, double number) {
    value.kind = StoredValue::Kind::kReal;
    value.as_double = number;
    value.as_int = static_cast<std::int64_t>(number);
    value.text.clear();
    value.raw = number;
    value.finite = true;
}

void SetInteger(StoredValue& value, std::int64_t number) {
    value.kind = StoredValue::Kind::kInteger;
    value.as_double = static_cast<double>(number);
    value.as_int = number;
    value.text.clear();
    value.raw = value.as_double;
    value.finite = true;
}

// Collects one contract's rows as they come in row order.
class ContractReader final {
public:
    explicit ContractReader(std::string_view contract) { out_.contract = contract; }

    void Add(sqlite3_stmt* statement, const ResultRow& values, common::Side side) {
        // The rows of a day mostly follow each other: the day is looked up when its text
        // changes. Only a text the panel itself would ask for names a day it can show.
        const std::string_view date = values.Text(kDate);
        if (!any_day_ || !SameText(date, day_text_)) {
            any_day_ = true;
            day_text_.assign(date);
            const common::Date day = common::ParseDate(date, "%dd.%mm.%yyyy");
            const std::size_t previous = day_rows_ == nullptr ? 0 : day_rows_->size();
            day_rows_ = day != common::kInvalidDate && common::DayText(day) == date ? &by_day_[day]
                                                                                    : nullptr;
            // A contract's days are much alike in size.
            if (day_rows_ != nullptr && day_rows_->empty()) {
                day_rows_->reserve(previous);
            }
        }
        if (day_rows_ == nullptr) {
            return;
        }

        NumericRow row;
        row.side = side;
        const bool plain =
            values.PlainReal(kStrike, row.strike) && values.PlainReal(kPrice, row.price) &&
            values.PlainReal(kDelta, row.delta) && values.PlainInteger(kVolume, row.volume) &&
            values.PlainInteger(kOi, row.oi);
        if (!plain) {
            StoredOption whole;
            whole.side = side;
            whole.strike = ReadStoredValue(statement, kStrike);
            whole.price = ReadStoredValue(statement, kPrice);
            whole.delta = ReadStoredValue(statement, kDelta);
            whole.volume = ReadStoredValue(statement, kVolume);
            whole.oi = ReadStoredValue(statement, kOi);
            out_.whole.push_back(std::move(whole));
            row = NumericRow();
            row.side = side;
            row.whole = static_cast<std::uint32_t>(out_.whole.size());
        }
        day_rows_->push_back(out_.rows.size());
        out_.rows.push_back(row);
    }

    NumericContract Take(std::string expiration) {
        out_.expiration = std::move(expiration);
        out_.days.reserve(by_day_.size());
        for (auto& [day, positions] : by_day_) {
            out_.days.emplace_back(day, std::move(positions));
        }
        return std::move(out_);
    }

private:
    NumericContract out_;
    std::map<common::Date, std::vector<std::size_t>> by_day_;
    std::vector<std::size_t>* day_rows_ = nullptr;
    std::string day_text_;
    bool any_day_ = false;
};

}  // namespace

StoredOption NumericContract::Unfold(std::size_t position) const {
    StoredOption out;
    UnfoldInto(position, out);
    return out;
}

void NumericContract::UnfoldInto(std::size_t position, StoredOption& out) const {
    const NumericRow& row = rows[position];
    if (row.whole != 0) {
        out = whole[row.whole - 1];
        return;
    }
    out.side = row.side;
    SetReal(out.strike, row.strike);
    SetReal(out.price, row.price);
    SetReal(out.delta, row.delta);
    SetInteger(out.volume, row.volume);
    SetInteger(out.oi, row.oi);
    out.doi = StoredValue();
}

void NumericContract::UnfoldDay(std::size_t day, std::vector<StoredOption>& out) const {
    const std::vector<std::size_t>& positions = days[day].second;
    // Written over the rows already there: a day's rows are many, and their texts' memory is
    // kept from day to day.
    out.resize(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        UnfoldInto(positions[i], out[i]);
    }
}

common::Result<std::vector<NumericContract>> ReadNumericContracts(const storage::Database& db) {
    using Contracts = common::Result<std::vector<NumericContract>>;
    constexpr const char* kCannotRead = "the quote rows cannot be read";
    if (!db.IsOpen()) {
        return Contracts::Failed(kCannotRead);
    }
    const bool binary = BinaryOption(db);
    const std::string_view sql = binary ? kRowsSql : kComparedRowsSql;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(raw);
        return Contracts::Failed(kCannotRead);
    }
    const RawStatement statement(raw);
    if (!binary) {
        sqlite3_bind_text(raw, 1, kCall.data(), static_cast<int>(kCall.size()), SQLITE_STATIC);
        sqlite3_bind_text(raw, 2, kPut.data(), static_cast<int>(kPut.size()), SQLITE_STATIC);
    }

    std::map<std::string, ContractReader, std::less<>> readers;
    ContractReader* current = nullptr;
    std::string_view current_contract;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const ResultRow values(raw);
        // As `contract IS NOT NULL AND option IN ('CALL', 'PUT')` takes the rows.
        if (values.IsNull(kContract) || !values.IsText(kOption)) {
            continue;
        }
        const std::string_view option = values.Text(kOption);
        const bool call = SameText(option, kCall);
        if (!call && !SameText(option, kPut)) {
            continue;
        }
        const std::string_view contract = values.Text(kContract);
        if (current == nullptr || !SameText(contract, current_contract)) {
            auto found = readers.find(contract);
            if (found == readers.end()) {
                found = readers.emplace(std::string(contract), ContractReader(contract)).first;
            }
            current = &found->second;
            current_contract = found->first;
        }
        current->Add(raw, values, call ? common::Side::kCall : common::Side::kPut);
    }
    if (rc != SQLITE_DONE) {
        return Contracts::Failed(kCannotRead);
    }
    sqlite3_stmt* raw_last = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), kLastExpirationSql.data(),
                           static_cast<int>(kLastExpirationSql.size()), &raw_last,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw_last);
        return Contracts::Failed(kCannotRead);
    }
    const RawStatement last(raw_last);
    // The last PUT row's expiration, else the last CALL row's; "" where neither has one.
    const auto expiration_of = [&](const std::string& contract) -> std::optional<std::string> {
        for (const std::string_view side : {kPut, kCall}) {
            sqlite3_reset(raw_last);
            sqlite3_bind_text(raw_last, 1, contract.data(), static_cast<int>(contract.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(raw_last, 2, side.data(), static_cast<int>(side.size()),
                              SQLITE_STATIC);
            const int step = sqlite3_step(raw_last);
            if (step == SQLITE_ROW) {
                return std::string(ReadStoredText(raw_last, 0));
            }
            if (step != SQLITE_DONE) {
                return std::nullopt;
            }
        }
        return std::string();
    };
    std::vector<NumericContract> out;
    out.reserve(readers.size());
    for (auto& [contract, reader] : readers) {
        std::optional<std::string> expiration = expiration_of(contract);
        if (!expiration) {
            return Contracts::Failed(kCannotRead);
        }
        out.push_back(reader.Take(std::move(*expiration)));
    }
    return Contracts::Of(std::move(out));
}

}  // namespace zarvex::analytics
