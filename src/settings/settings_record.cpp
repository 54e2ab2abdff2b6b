#include "settings/settings_record.h"

#include <string>
#include <utility>
#include <vector>

#include "storage/connection_lock.h"
#include "storage/store.h"

namespace zarvex::settings {

namespace {

constexpr std::string_view kLoadSql = "SELECT * FROM dating WHERE id =1";

constexpr std::string_view kSaveSql =
    "UPDATE dating SET Level_Cond=?, Fractal_Main_Cond=?, Fractal_Near_Cond=?, PriceType=?, "
    "Bar_Cond_1=?, Market_Scale_1=?, Market_Type_1=?, Param_1=?, "
    "Bar_Cond_2=?, Market_Scale_2=?, Market_Type_2=?, Param_2=?, "
    "Bar_Cond_3=?, Market_Scale_3=?, Market_Type_3=?, Param_3=?, "
    "Bar_Cond_4=?, Market_Scale_4=?, Market_Type_4=?, Param_4=?, "
    "IsExtract=?, IsUpload=?, IsFP=?, Teplate_Outputdata=?, Teplate_FileName=?, "
    "OutputFolder=? WHERE id=1";

constexpr std::string_view kInsertSql =
    "INSERT INTO dating (Level_Cond, Fractal_Main_Cond, Fractal_Near_Cond, PriceType, "
    "Bar_Cond_1, Market_Scale_1, Market_Type_1, Param_1,Bar_Cond_2, Market_Scale_2, "
    "Market_Type_2, Param_2, Bar_Cond_3, Market_Scale_3, Market_Type_3, Param_3, Bar_Cond_4, "
    "Market_Scale_4, Market_Type_4, Param_4, IsExtract, IsUpload, IsFP, Teplate_Outputdata, "
    "Teplate_FileName,OutputFolder) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
    "?, ?, ?, ?, ?, ?, ?, ?, ?) ";

// The same row, put back under id 1 when it has gone, so that the next load finds it.
constexpr std::string_view kInsertWithIdSql =
    "INSERT INTO dating (id, Level_Cond, Fractal_Main_Cond, Fractal_Near_Cond, PriceType, "
    "Bar_Cond_1, Market_Scale_1, Market_Type_1, Param_1,Bar_Cond_2, Market_Scale_2, "
    "Market_Type_2, Param_2, Bar_Cond_3, Market_Scale_3, Market_Type_3, Param_3, Bar_Cond_4, "
    "Market_Scale_4, Market_Type_4, Param_4, IsExtract, IsUpload, IsFP, Teplate_Outputdata, "
    "Teplate_FileName,OutputFolder) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
    "?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ";

constexpr int kSettingCount = 26;

// The 26 values in column order.
std::vector<storage::SqlValue> ColumnValues(const Settings& s) {
    std::vector<storage::SqlValue> values;
    values.reserve(kSettingCount);
    values.emplace_back(std::string_view(s.level_cond));
    values.emplace_back(std::string_view(s.fractal_main_cond));
    values.emplace_back(std::string_view(s.fractal_near_cond));
    values.emplace_back(std::int64_t{s.price_type});
    for (const HistogramSettings& h : s.histograms) {
        values.emplace_back(std::string_view(h.bar_cond));
        values.emplace_back(std::int64_t{h.market_scale});
        values.emplace_back(std::int64_t{h.market_type});
        values.emplace_back(std::int64_t{h.param});
    }
    values.emplace_back(std::int64_t{s.is_extract});
    values.emplace_back(std::int64_t{s.is_upload});
    values.emplace_back(std::int64_t{s.is_fp});
    values.emplace_back(std::string_view(s.template_output_data));
    values.emplace_back(std::string_view(s.template_file_name));
    values.emplace_back(std::string_view(s.output_folder));
    return values;
}

bool RunWithValues(const storage::Database& db, std::string_view sql, const Settings& settings) {
    storage::Statement statement = db.Prepare(sql);
    if (!statement.IsValid()) {
        return false;
    }
    int index = 1;
    for (const storage::SqlValue& value : ColumnValues(settings)) {
        if (!statement.Bind(index++, value)) {
            return false;
        }
    }
    return statement.Run();
}

std::int8_t LowByte(std::int64_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

// Reads the row's columns 1..26 (0 is id) in order; columns the table lacks keep their value.
void ReadRow(const storage::Statement& row, Settings& s) {
    const int count = row.ColumnCount();
    int column = 1;
    auto text = [&](std::string& field) {
        if (column < count) {
            field = row.ColumnText(column);
        }
        ++column;
    };
    auto byte = [&](std::int8_t& field) {
        if (column < count) {
            field = LowByte(row.ColumnInt(column));
        }
        ++column;
    };
    text(s.level_cond);
    text(s.fractal_main_cond);
    text(s.fractal_near_cond);
    byte(s.price_type);
    for (HistogramSettings& h : s.histograms) {
        text(h.bar_cond);
        byte(h.market_scale);
        byte(h.market_type);
        byte(h.param);
    }
    byte(s.is_extract);
    byte(s.is_upload);
    byte(s.is_fp);
    text(s.template_output_data);
    text(s.template_file_name);
    text(s.output_folder);
}

}  // namespace

SettingsRecord::SettingsRecord(std::string symbol, common::ProgramFolder folder)
    : symbol_(std::move(symbol)), folder_(std::move(folder)) {}

bool SettingsRecord::OpenSettings(const std::filesystem::path& path) {
    path_ = path;
    // The default row goes in with the table, so a new file never stays without it.
    bool inserted = false;
    storage::OpenedStore store = storage::OpenStore(
        path, storage::StoreKind::kConfiguration, [this, &inserted](const storage::Database& db) {
            const Settings before = values_;
            SetDefaults();
            inserted = RunWithValues(db, kInsertSql, values_);
            if (!inserted) {
                values_ = before;  // no table: the record stays as an unopened one
            }
        });
    db_ = std::move(store.db);
    if (!store.new_file || !store.created_table) {
        LoadSettings();
        return false;
    }
    return inserted;
}

bool SettingsRecord::OpenSettingsReadOnly(const std::filesystem::path& path) {
    path_ = path;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) {
        SetDefaults();
        return false;
    }
    db_ = storage::Database::OpenReadOnly(path);
    return LoadSettings();
}

bool SettingsRecord::LoadSettings() {
    storage::Statement query = db_.Prepare(kLoadSql);
    if (!query.Step()) {
        return false;
    }
    ReadRow(query, values_);
    return true;
}

bool SettingsRecord::SaveSettings() {
    if (!db_.IsOpen()) {
        return false;
    }
    const storage::ConnectionLock lock(db_);
    if (!RunWithValues(db_, kSaveSql, values_)) {
        return false;
    }
    // Without row 1 the update touches nothing and the user's settings would be lost at the
    // next start: put the row back instead.
    return db_.Changes() > 0 || InsertRow(true);
}

void SettingsRecord::SetDefaults() {
    values_ = DefaultSettings(symbol_, folder_);
}

void SettingsRecord::Close() {
    db_.Close();
}

bool SettingsRecord::InsertRow(bool with_id) {
    return RunWithValues(db_, with_id ? kInsertWithIdSql : kInsertSql, values_);
}

const HistogramSettings* SettingsRecord::Histogram(int histogram) const {
    if (histogram < 1 || histogram > Settings::kHistogramCount) {
        return nullptr;
    }
    return &values_.histograms[static_cast<std::size_t>(histogram - 1)];
}

HistogramSettings* SettingsRecord::Histogram(int histogram) {
    return const_cast<HistogramSettings*>(std::as_const(*this).Histogram(histogram));
}

std::string SettingsRecord::BarCond(int histogram) const {
    const HistogramSettings* h = Histogram(histogram);
    return h == nullptr ? std::string() : h->bar_cond;
}

std::int8_t SettingsRecord::MarketScale(int histogram) const {
    const HistogramSettings* h = Histogram(histogram);
    return h == nullptr ? 0 : h->market_scale;
}

std::int8_t SettingsRecord::MarketType(int histogram) const {
    const HistogramSettings* h = Histogram(histogram);
    return h == nullptr ? 0 : h->market_type;
}

std::int8_t SettingsRecord::Param(int histogram) const {
    const HistogramSettings* h = Histogram(histogram);
    return h == nullptr ? 0 : h->param;
}

void SettingsRecord::SetBarCond(int histogram, std::string_view value) {
    if (HistogramSettings* h = Histogram(histogram)) {
        h->bar_cond = value;
    }
}

void SettingsRecord::SetMarketScale(int histogram, std::int8_t value) {
    if (HistogramSettings* h = Histogram(histogram)) {
        h->market_scale = value;
    }
}

void SettingsRecord::SetMarketType(int histogram, std::int8_t value) {
    if (HistogramSettings* h = Histogram(histogram)) {
        h->market_type = value;
    }
}

void SettingsRecord::SetParam(int histogram, std::int8_t value) {
    if (HistogramSettings* h = Histogram(histogram)) {
        h->param = value;
    }
}

}  // namespace zarvex::settings
