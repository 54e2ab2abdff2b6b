#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analytics/day/day_context.h"
#include "analytics/left_panel/left_panel_model.h"
#include "common/clock.h"
#include "common/plain_host.h"
#include "settings/settings.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace zarvex::analytics::left_testing {

inline constexpr const char* kDay = "07.12.2012";
inline constexpr const char* kContract = "DEC12-AM";

// One option row as the extraction stores it: every value as text, bound into the table so
// that the column types decide what is kept (numbers stay numbers, other text stays text).
struct Row {
    std::string option = "CALL";
    std::string strike = "1.1";
    std::string price = "0.01";
    std::string delta = "0.5";
    std::string volume = "0";
    std::string oi = "0";
    std::string doi = "0";
    std::string sign = "1";
    std::string contract = kContract;
    std::string date = kDay;
    std::string expiration = "14.12.2012";
    std::string symb = "EUR";
};

// A context's results as the texts the panel shows for them, field by field, so that tests
// state what the user sees.
struct ContextTexts {
    std::string expiration;
    std::string call_level;
    std::string put_level;
    std::string market_width;
    std::string delta_balance;
    std::string upper_limit;
    std::string upper_border;
    std::string channel_center;
    std::string bottom_border;
    std::string bottom_limit;
    std::int64_t upper_border_strike = 0;
    std::int64_t bottom_border_strike = 0;
    std::int64_t upper_limit_strike = 0;
    std::int64_t bottom_limit_strike = 0;
    std::string ratio_oi;
    std::string ratio_volume;
    std::string ratio_avg_price;
    std::vector<std::string> put_levels;
    std::vector<std::string> call_levels;
    std::vector<std::string> put_fractals;
    std::vector<std::string> call_fractals;
};
ContextTexts TextsOf(const DayContext& context);

// A number as a cell would show `text`: nothing for a blank text, otherwise the value with as
// many decimals as the text has.
PanelNumber NumberShownAs(const std::string& text);

// Creates a quote database file as the program does (table and indexes) and fills it.
void CreateQuoteDatabase(const std::filesystem::path& file);
void InsertRows(const std::filesystem::path& file, const std::vector<Row>& rows);

class FixedClock final : public common::Clock {
public:
    explicit FixedClock(common::Date now) : now_(now) {}
    common::Date Now() const override { return now_; }
    void SleepFor(std::chrono::milliseconds) override {}
    void Set(common::Date now) { now_ = now; }

private:
    common::Date now_;
};

// A view that records what it was told.
class RecordingView final : public LeftPanelView {
public:
    void SetPanelEnabled(bool enabled) override { enabled_calls.push_back(enabled); }
    void ShowDate(common::Date day) override { dates.push_back(day); }
    void ShowContracts(const std::vector<std::string>& contracts, int selected) override {
        shown_contracts = contracts;
        shown_selected = selected;
    }
    void ShowCells(const LeftPanelCells& cells) override {
        last_cells = cells;
        ++cell_writes;
    }

    std::vector<bool> enabled_calls;
    std::vector<common::Date> dates;
    std::vector<std::string> shown_contracts;
    int shown_selected = -2;
    LeftPanelCells last_cells;
    int cell_writes = 0;
};

class RecordingNotifier final : public common::Notifier {
public:
    void NotifyStatus(std::string_view) override {}
    void NotifyHistograms(int index) override { histograms.push_back(index); }
    void NotifyDownloaded(common::DownloadedDays) override {}
    std::vector<int> histograms;
};

// Settings with this price type and forward-point switch and everything else at zero. They live
// as long as the test program, so that an input can refer to them from within one expression.
const settings::Settings& SettingsWith(int price_type, int fp_switch);

// A calculation context for one day and contract of a test database, with the settings it is
// calculated with.
struct TestContext : DayContext {
    settings::Settings settings;
};
TestContext MakeContext(const std::string& symbol = "EUR", int price_type = 1);

// The day figures of the context's day and contract from db's rows, as the panel computes
// them; false when the rows cannot be read (the context is then left as it was).
bool BasicIndicatorsOf(const storage::Database& db, TestContext& context);
bool MarketBordersOf(const storage::Database& db, TestContext& context);
bool RatiosOf(const storage::Database& db, TestContext& context);

// A temporary program folder with DB/<symbol>_data.lql and a panel over it.
class PanelHarness {
public:
    explicit PanelHarness(const std::string& symbol = "EUR",
                          common::Date today = common::MakeDate(2012, 12, 10));

    std::filesystem::path QuoteFile() const;
    void Insert(const std::vector<Row>& rows) const { InsertRows(QuoteFile(), rows); }
    // Builds a new panel over the database with these settings (kept in `settings`, where a
    // test changes them before telling the panel with SettingsChanged).
    LeftPanelModel& Build(int price_type = 1, const std::string& level_cond = "oi>0",
                          const std::string& main_cond = "oi>0",
                          const std::string& near_cond = "oi>=0", int fp_switch = 0);
    LeftPanelModel& Panel() { return *panel_; }
    // The settings dialog's way: a setting changed in place, then the panel told.
    void SetLevelCondition(const std::string& condition);
    void SetFractalConditions(const std::string& main_condition, const std::string& near_condition);
    void SetPriceType(int price_type);
    void SetForwardPointSwitch(int fp_switch);

    test::TempProgramFolder home;
    std::string symbol;
    settings::Settings settings;
    FixedClock clock;
    common::PlainHost host;
    RecordingView view;
    RecordingNotifier notifier;

private:
    std::unique_ptr<LeftPanelModel> panel_;
};

}  // namespace zarvex::analytics::left_testing
