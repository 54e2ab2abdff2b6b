#include "settings/settings_record.h"

#include <string>
#include <utility>
#include <vector>

#include "settings/settings_row.h"
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

bool RunWithValues(const storage::Database& db, std::string_view sql, const Settings& settings) {
    storage::Statement statement = db.Prepare(sql);
    if (!statement.IsValid()) {
        return false;
    }
    int index = 1;
    for (const storage::SqlValue& value : SettingsColumnValues(settings)) {
        if (!statement.Bind(index++, value)) {
            return false;
        }
    }
    return statement.Run();
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
    problem_ = store.problem;
    if (!store.new_file || !store.created_table) {
        // A file that could not be made (no DB/ folder) is quietly no file; one that is there
        // and does not give its row is named.
        if (!LoadSettings() && problem_.empty() && !store.new_file) {
            problem_ = "no settings could be read";
        }
        return false;
    }
    return inserted;
}

bool SettingsRecord::OpenSettingsReadOnly(const std::filesystem::path& path) {
    path_ = path;
    problem_ = storage::NoFileProblem(path);
    if (!problem_.empty()) {
        return false;
    }
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
    if (!db_.IsOpen()) {
        return false;
    }
    storage::Statement query = db_.Prepare(kLoadSql);
    if (!query.Step()) {
        problem_ = query.Failed() ? query.Error() : "the table has no settings row (id 1)";
        return false;
    }
    if (const std::string missing = MissingSettingsColumn(query); !missing.empty()) {
        problem_ = "the table has no column " + missing + " in its place";
        return false;
    }
    ReadSettingsRow(query, values_);
    problem_.clear();
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
    if (db_.Changes() == 0 && !InsertRow(true)) {
        return false;
    }
    problem_.clear();  // the file holds the row now, so the day runs may use it again
    return true;
}

std::string SettingsRecord::ProblemText() const {
    if (problem_.empty()) {
        return {};
    }
    return "the settings in " + path_.string() + " cannot be read: " + problem_;
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
