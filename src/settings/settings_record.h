#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/program_folder.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::settings {

// The settings of one instrument in memory, kept on disk as the single row id 1 of its
// configuration database. Setters change the record only; the file keeps the old values
// until SaveSettings. Nothing here validates a value: that is the dialog's job.
//
// Histograms are numbered 1..4 as in the column names; a number outside that range reads
// as empty/0 and is ignored by the setters.
class SettingsRecord final {
public:
    // An empty record (all texts empty, all numbers 0) for the symbol; SetDefaults takes the
    // symbol's defaults and the folder's OUTPUT/.
    SettingsRecord(std::string symbol, common::ProgramFolder folder);
    SettingsRecord(SettingsRecord&&) noexcept = default;
    SettingsRecord& operator=(SettingsRecord&&) noexcept = default;
    SettingsRecord(const SettingsRecord&) = delete;
    SettingsRecord& operator=(const SettingsRecord&) = delete;

    // Opens the configuration database at path and loads its row; a missing or 0-byte file is
    // created with the table and a row of defaults (then loading is not needed). True only
    // when that new row went in. Every failure is quiet and leaves the values as they were.
    bool OpenSettings(const std::filesystem::path& path);
    // The command line's way in: loads row 1 of an existing, non-empty file opened read-only,
    // and takes the defaults where a first start would have created the file. Never creates
    // or changes a file. True when row 1 was loaded; Problem() says why a file that is there
    // gave no row.
    bool OpenSettingsReadOnly(const std::filesystem::path& path);
    // Fills the values from row 1. False (values unchanged) when there is no database, no
    // table, no row or a table of another layout; Problem() then says which. Texts where
    // numbers belong read as their leading number or 0, NULLs read as "" or 0, numbers are
    // cut to their low byte.
    bool LoadSettings();
    // Why the configuration file that is there gave no settings (not a database, damaged, no
    // table, no row 1, another layout, a folder in its place), "" when it gave them or when
    // there is no file at all. An instrument with a problem runs no day: with settings it
    // could not read it would skip the day, or take its defaults, without a word.
    const std::string& Problem() const { return problem_; }
    // The problem as a day run reports it, naming the file; "" without a problem.
    std::string ProblemText() const;
    // Writes the values into row 1 (and puts row 1 back when it has gone). False when nothing
    // could be stored.
    bool SaveSettings();
    // Every value to its default.
    void SetDefaults();
    // Closes the configuration database; the values stay.
    void Close();

    const std::string& Symbol() const { return symbol_; }
    const std::filesystem::path& Path() const { return path_; }
    const storage::Database& Db() const { return db_; }

    // All values at once, for the dialog: take a copy, edit it, compare, put it back.
    const Settings& Values() const { return values_; }
    void SetValues(const Settings& values) { values_ = values; }

    const std::string& LevelCond() const { return values_.level_cond; }
    const std::string& FractalMainCond() const { return values_.fractal_main_cond; }
    const std::string& FractalNearCond() const { return values_.fractal_near_cond; }
    std::int8_t PriceType() const { return values_.price_type; }
    void SetLevelCond(std::string_view value) { values_.level_cond = value; }
    void SetFractalMainCond(std::string_view value) { values_.fractal_main_cond = value; }
    void SetFractalNearCond(std::string_view value) { values_.fractal_near_cond = value; }
    void SetPriceType(std::int8_t value) { values_.price_type = value; }

    std::string BarCond(int histogram) const;
    std::int8_t MarketScale(int histogram) const;
    std::int8_t MarketType(int histogram) const;
    std::int8_t Param(int histogram) const;
    void SetBarCond(int histogram, std::string_view value);
    void SetMarketScale(int histogram, std::int8_t value);
    void SetMarketType(int histogram, std::int8_t value);
    void SetParam(int histogram, std::int8_t value);

    std::int8_t IsExtract() const { return values_.is_extract; }
    std::int8_t IsUpload() const { return values_.is_upload; }
    std::int8_t IsFP() const { return values_.is_fp; }
    void SetIsExtract(std::int8_t value) { values_.is_extract = value; }
    void SetIsUpload(std::int8_t value) { values_.is_upload = value; }
    void SetIsFP(std::int8_t value) { values_.is_fp = value; }

    const std::string& TemplateOutputData() const { return values_.template_output_data; }
    const std::string& TemplateFileName() const { return values_.template_file_name; }
    const std::string& OutputFolder() const { return values_.output_folder; }
    void SetTemplateOutputData(std::string_view value) { values_.template_output_data = value; }
    void SetTemplateFileName(std::string_view value) { values_.template_file_name = value; }
    void SetOutputFolder(std::string_view value) { values_.output_folder = value; }

private:
    const HistogramSettings* Histogram(int histogram) const;
    HistogramSettings* Histogram(int histogram);
    bool InsertRow(bool with_id);

    std::string symbol_;
    common::ProgramFolder folder_;
    std::filesystem::path path_;
    storage::Database db_;
    Settings values_;
    std::string problem_;
};

}  // namespace zarvex::settings
