#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/day_context.h"
#include "analytics/day/max_pain.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/left_panel_cells.h"
#include "analytics/left_panel/left_panel_view.h"
#include "common/clock.h"
#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "common/result.h"
#include "common/system_clock.h"
#include "storage/database.h"

namespace zarvex::analytics {

// Where the left panel reads its days: the quote database. The settings it calculates with
// come with the AnalysisInput.
struct LeftPanelSetup {
    std::filesystem::path database_file;
    // The command line only reads; the desktop program opens the file as the instrument does.
    bool read_only = false;
};

// Everything the panel reaches outside itself. Null members are allowed.
struct LeftPanelServices {
    // Status texts, pumping between steps, the message box of a date without data.
    common::Host host;
    // Where the forward-point files are.
    common::ProgramFolder folder{std::filesystem::path(".")};
    // Today, where the search for the latest day starts; the computer's clock when null.
    const common::Clock* clock = nullptr;
    LeftPanelView* view = nullptr;
    // Told (460) after a change of day or contract, so the right panel follows.
    common::Notifier* notifier = nullptr;
};

// The left panel of one instrument without its widgets: it chooses the day and the contract,
// runs the calculations of the day and keeps the texts its cells show. A widget panel drives
// it with the date picker, the drop-down and the setters and draws what the view calls and
// Cells() tell; the right panel reads the day, the contract and the forward point from
// Context().
//
// Everything runs on the caller's thread. Pumping between steps may dispatch a user's action
// back into the panel; every operation leaves the panel consistent when that happens.
class LeftPanelModel final {
public:
    explicit LeftPanelModel(LeftPanelServices services);
    ~LeftPanelModel();
    LeftPanelModel(const LeftPanelModel&) = delete;
    LeftPanelModel& operator=(const LeftPanelModel&) = delete;

    // Keeps the input (the instrument's settings, which must outlive the model, and the
    // symbol; its contract and day are chosen by the panel) and takes the symbol from the file
    // name when the input names none; when the database file exists, opens it and shows the
    // latest day with data: contracts, all calculations, the tables. Without the file the panel
    // stays empty and nothing is calculated.
    void Build(const AnalysisInput& input, const LeftPanelSetup& setup);

    // Dispatches at most one waiting event of the host.
    void Refresh();
    // The distinct contracts of the day in order of first appearance (at most 51); selects the
    // first that contains "EU", else the first.
    void FillContractsList();
    // Searches back from today for a day with rows, down to 01.01.1970; without one the date
    // is empty and the panel shows nothing.
    void FindLatestDay();

    // Every day that holds rows, oldest first (whatever the day of today).
    std::vector<common::Date> DaysWithData() const;
    // The expiration of a contract as the shown day's rows give it; empty when unknown.
    std::string ExpirationOf(const std::string& contract) const;

    // The calculations of the selected day and contract, each with its status texts and the
    // panel lock. True when it ran to its end; false when it could not run (no database, no
    // day) or a query failed (a condition that is not valid SQL), in which case the fields it
    // had not reached keep their texts.
    bool ComputeBasicIndicators();
    bool ComputeMarketBorders();
    bool ComputePutCallRatios();
    bool ComputeSignificantLevels();
    bool ComputeSignificantFractals();
    // Basic indicators, market borders, ratios, significant levels and significant fractals
    // of the shown day and contract.
    void ComputeAll();

    // The two long tables emptied.
    void ClearTables();
    // The context's texts into the cells; the long tables take their lists from the top,
    // without empty entries and "0.0".
    void FillTables();

    // The settings were changed (the settings dialog). Against the settings the panel last
    // took in: a condition that is the same after trimming blanks, or an unchanged number,
    // changes nothing; otherwise the affected part is calculated again and the tables are
    // filled, in the order level condition, fractal conditions, price type, forward-point
    // switch (a new price type or switch calculates everything).
    void SettingsChanged();

    // Max pain of the shown day and contract from the day's rows the panel reads, its price
    // shown with the panel's forward point and price type; empty without a day or when the rows
    // cannot be read.
    MaxPain ShownMaxPain();

    // The date picker chose a day. A day without rows shows the message box and keeps the day
    // shown (a panel without a day looks for the latest day with data). Then, if the day changed,
    // the contracts are listed again (keeping the contract when the new day has it), everything is
    // calculated and the right panel is told.
    void DateChanged(common::Date picked);
    // The drop-down chose a contract: everything is calculated for it and the right panel is
    // told. The same contract again changes nothing.
    void ContractChanged(std::string_view contract);

    void CloseDatabase();

    const DayContext& Context() const { return context_; }
    const AnalysisInput& Input() const { return input_; }
    const settings::Settings& Settings() const { return input_.Settings(); }
    common::PriceType PriceType() const { return input_.PriceType(); }
    const LeftPanelCells& Cells() const { return cells_; }
    // The drop-down's entries and the index shown (-1 when empty).
    const std::vector<std::string>& Contracts() const { return contracts_; }
    int SelectedContract() const { return selected_contract_; }
    bool IsDatabaseOpen() const { return db_.IsOpen(); }
    // SQLite's text for the first fault of the quote file that the panel's queries met (a
    // damaged page, a failed read), else why a query of the panel's failed (a quote table
    // without its columns); "" when none.
    std::string DatabaseFault() const;
    // The status line of a file that met such a fault: its path, " could not be read: " in the
    // host's language and the fault; empty while the file reads well.
    std::string DatabaseFaultLine() const;
    // A day with data is selected.
    bool HasDay() const { return context_.date != common::kInvalidDate; }

    const std::string& Symbol() const { return context_.symbol; }
    // The selected day's text ("%dd.%mm.%yyyy"), empty without one.
    std::string Date() const { return HasDay() ? common::DayText(context_.date) : std::string(); }
    common::Date DateValue() const { return context_.date; }
    const std::string& Contract() const { return context_.contract; }
    double ForwardPoint() const { return context_.forward_point; }
    std::int64_t UpperBorderStrike() const { return context_.upper_border_strike; }
    std::int64_t BottomBorderStrike() const { return context_.bottom_border_strike; }
    std::int64_t UpperLimitStrike() const { return context_.upper_limit_strike; }
    std::int64_t BottomLimitStrike() const { return context_.bottom_limit_strike; }

    // The index that 460 carries for a symbol (its chart index, common/symbols.h), -1 for others.
    static int SymbolIndex(std::string_view symbol);

private:
    void RecomputeShown();
    class Busy;

    bool CanCalculate() const;
    void ShowStatus(int entry, int tail) const;
    // Names the user's condition that made the latest levels or fractals fail.
    void ShowConditionFailure() const;
    void LockPanel();
    void UnlockPanel();
    void TakeFirstForwardPoint();
    void ResolveForwardPoint();
    // Whether the quote file has rows of the day; the reason when the query fails.
    common::Result<bool> DayHasRows(const std::string& day) const;
    // Keeps the first failed query's reason and names it, with the file, on the status line.
    void NoteQueryFault(const std::string& reason);
    void SelectContract(int index);
    void NotifyHistograms() const;
    // The selected day and contract's rows for the calculations.
    DaySlice& Slice();

    LeftPanelServices services_;
    AnalysisInput input_;
    // The settings as the panel last took them in (Build, SettingsChanged): what a change is
    // told against. The calculations read the input's own.
    settings::Settings taken_;
    common::SystemClock system_clock_;
    storage::Database db_;
    // Why the first of the panel's queries that failed did; empty while none has.
    std::string query_fault_;
    DaySlice slice_;
    DayContext context_;
    std::vector<std::string> contracts_;
    int selected_contract_ = -1;
    LeftPanelCells cells_;
    int lock_depth_ = 0;
};

}  // namespace zarvex::analytics
