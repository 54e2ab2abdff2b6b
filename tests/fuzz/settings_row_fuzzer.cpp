// The reader of the configuration row: whatever SQLite holds in the 26 setting columns
// (NULLs, integers of any size, reals, texts, blobs), in a table of the right layout or of
// another one.
// - A text column reads back as the exact bytes stored; an integer column as the low byte of
//   the stored integer.
// - What it reads, saved back and read again, gives the same settings: a load and a save
//   never drift apart.
// - In a table that lacks a setting column in its place, the layout check names the first
//   column missing, and in the right table it names none.

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/settings_row.h"
#include "storage/database.h"
#include "storage/store.h"

namespace {

namespace settings = zarvex::settings;
namespace storage = zarvex::storage;

// Takes bytes off the front of the input; zeros once it is used up.
class Input final {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint64_t Word() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            value = (value << 8) | Byte();
        }
        return value;
    }
    std::string Bytes(std::size_t count) {
        count = std::min(count, size_ - pos_);
        std::string bytes(reinterpret_cast<const char*>(data_ + pos_), count);
        pos_ += count;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

struct Value {
    int type = SQLITE_NULL;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string bytes;  // text or blob
};

Value NextValue(Input& in) {
    Value value;
    switch (in.Byte() % 5) {
        case 0:
            break;
        case 1:
            value.type = SQLITE_INTEGER;
            value.integer = static_cast<std::int64_t>(in.Word());
            break;
        case 2: {
            value.type = SQLITE_FLOAT;
            const std::uint64_t bits = in.Word();
            std::memcpy(&value.real, &bits, sizeof bits);
            break;
        }
        case 3:
            value.type = SQLITE_TEXT;
            value.bytes = in.Bytes(in.Byte());
            break;
        default:
            value.type = SQLITE_BLOB;
            value.bytes = in.Bytes(in.Byte());
            break;
    }
    return value;
}

bool IsTextColumn(int i) {
    const std::string_view name = settings::kSettingColumns[static_cast<std::size_t>(i)];
    return name.find("Cond") != std::string_view::npos || name.find("Teplate") == 0 ||
           name == "OutputFolder";
}

// A configuration table of the program's own layout, or one with a column renamed away.
storage::Database MakeTable(int renamed) {
    storage::Database db = storage::Database::Open(":memory:");
    FUZZ_CHECK(db.Execute(storage::CreateTableSql(storage::StoreKind::kConfiguration)));
    if (renamed >= 0) {
        const std::string name(settings::kSettingColumns[static_cast<std::size_t>(renamed)]);
        FUZZ_CHECK(db.Execute("ALTER TABLE dating RENAME COLUMN " + name + " TO Other"));
    }
    return db;
}

void Store(const storage::Database& db, const std::vector<Value>& values) {
    FUZZ_CHECK(db.Execute("DELETE FROM dating"));
    std::string sql = "INSERT INTO dating VALUES (1";
    for (std::size_t i = 0; i < values.size(); ++i) {
        sql += ", ?";
    }
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    FUZZ_CHECK(sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &insert, nullptr) == SQLITE_OK);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& v = values[i];
        const int at = static_cast<int>(i) + 1;
        if (v.type == SQLITE_INTEGER) {
            sqlite3_bind_int64(insert, at, v.integer);
        } else if (v.type == SQLITE_FLOAT) {
            sqlite3_bind_double(insert, at, v.real);
        } else if (v.type == SQLITE_TEXT) {
            sqlite3_bind_text(insert, at, v.bytes.data(), static_cast<int>(v.bytes.size()),
                              SQLITE_TRANSIENT);
        } else if (v.type == SQLITE_BLOB) {
            sqlite3_bind_blob(insert, at, v.bytes.data(), static_cast<int>(v.bytes.size()),
                              SQLITE_TRANSIENT);
        }
    }
    FUZZ_CHECK(sqlite3_step(insert) == SQLITE_DONE);
    sqlite3_finalize(insert);
}

settings::Settings Load(const storage::Database& db, std::string* missing = nullptr) {
    storage::Statement row = db.Prepare("SELECT * FROM dating WHERE id =1");
    FUZZ_CHECK(row.Step());
    if (missing != nullptr) {
        *missing = settings::MissingSettingsColumn(row);
    }
    settings::Settings read;
    settings::ReadSettingsRow(row, read);
    return read;
}

std::vector<std::int8_t> Bytes(const settings::Settings& s) {
    std::vector<std::int8_t> bytes{s.price_type};
    for (const settings::HistogramSettings& h : s.histograms) {
        bytes.insert(bytes.end(), {h.market_scale, h.market_type, h.param});
    }
    bytes.insert(bytes.end(), {s.is_extract, s.is_upload, s.is_fp});
    return bytes;
}

std::vector<std::string> Texts(const settings::Settings& s) {
    std::vector<std::string> texts{s.level_cond, s.fractal_main_cond, s.fractal_near_cond};
    for (const settings::HistogramSettings& h : s.histograms) {
        texts.push_back(h.bar_cond);
    }
    texts.insert(texts.end(), {s.template_output_data, s.template_file_name, s.output_folder});
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const storage::Database table = MakeTable(-1);

    Input in(data, size);
    const int renamed = in.Byte() < 224 ? -1 : in.Byte() % settings::kSettingCount;
    std::vector<Value> values;
    for (int i = 0; i < settings::kSettingCount; ++i) {
        values.push_back(NextValue(in));
    }

    if (renamed >= 0) {
        const storage::Database other = MakeTable(renamed);
        Store(other, values);
        std::string missing;
        Load(other, &missing);
        FUZZ_CHECK(missing == settings::kSettingColumns[static_cast<std::size_t>(renamed)]);
        return 0;
    }

    Store(table, values);
    std::string missing;
    const settings::Settings read = Load(table, &missing);
    FUZZ_CHECK(missing.empty());

    // Each value as the column's affinity stored it: a text column keeps a text's bytes, an
    // INTEGER column keeps an integer, and either way the reader takes what SQLite holds.
    std::size_t text = 0;
    std::size_t byte = 0;
    const std::vector<std::string> texts = Texts(read);
    const std::vector<std::int8_t> bytes = Bytes(read);
    for (int i = 0; i < settings::kSettingCount; ++i) {
        const Value& v = values[static_cast<std::size_t>(i)];
        if (IsTextColumn(i)) {
            if (v.type == SQLITE_TEXT || v.type == SQLITE_BLOB) {
                FUZZ_CHECK(texts[text] == v.bytes);
            } else if (v.type == SQLITE_NULL) {
                FUZZ_CHECK(texts[text].empty());
            }
            ++text;
        } else {
            if (v.type == SQLITE_INTEGER) {
                FUZZ_CHECK(bytes[byte] == static_cast<std::int8_t>(v.integer & 0xFF));
            } else if (v.type == SQLITE_NULL) {
                FUZZ_CHECK(bytes[byte] == 0);
            }
            ++byte;
        }
    }

    // Saved back the way the settings record saves, and read again: nothing changes.
    {
        std::string sql = "UPDATE dating SET ";
        for (int i = 0; i < settings::kSettingCount; ++i) {
            sql += std::string(i == 0 ? "" : ", ") +
                   std::string(settings::kSettingColumns[static_cast<std::size_t>(i)]) + "=?";
        }
        sql += " WHERE id=1";
        storage::Statement save = table.Prepare(sql);
        int index = 1;
        for (const storage::SqlValue& value : settings::SettingsColumnValues(read)) {
            FUZZ_CHECK(save.Bind(index++, value));
        }
        FUZZ_CHECK(save.Run());
    }
    FUZZ_CHECK(Load(table) == read);
    return 0;
}
