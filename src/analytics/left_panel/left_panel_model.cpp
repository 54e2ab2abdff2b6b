#include "analytics/left_panel/left_panel_model.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "analytics/day/quote_queries.h"
#include "analytics/forward_points.h"
#include "analytics/left_panel/calculations.h"
#include "common/symbols.h"
#include "common/text.h"
#include "common/text_id.h"
#include "storage/transaction.h"

namespace zarvex::analytics {

namespace {

// The symbol is read from the standard file name: the first three characters of its last
// twelve, EUR in ".../EUR_data.lql".
std::string SymbolFromFileName(const std::filesystem::path& file) {
    const std::string name = file.string();
    const std::size_t start = name.size() > 12 ? name.size() - 12 : 0;
    return name.substr(start, 3);
}

void ClearColumn(PanelTableColumn& column) {
    column.fill(std::string());
}

}  // namespace

// One step of the panel's work in the status bar and under the panel lock: the start text
// with the locked text, and at the end, also when a query failed, the end text with the
// ready text.
class LeftPanelModel::Busy final {
public:
    Busy(LeftPanelModel& model, int start_entry, int end_entry)
        : model_(model), end_entry_(end_entry) {
        model_.ShowStatus(start_entry, common::text::kLeftPanelLocked);
        model_.LockPanel();
    }
    ~Busy() {
        model_.ShowStatus(end_entry_, common::text::kProgramReady);
        model_.UnlockPanel();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    LeftPanelModel& model_;
    int end_entry_;
};

LeftPanelModel::LeftPanelModel(LeftPanelServices services) : services_(std::move(services)) {}

LeftPanelModel::~LeftPanelModel() = default;

void LeftPanelModel::Build(const AnalysisInput& input, const LeftPanelSetup& setup) {
    slice_.Reset();
    input_ = input;
    taken_ = input.Settings();
    context_.database_file = setup.database_file;
    query_fault_.clear();
    context_.symbol = input.symbol.empty() ? SymbolFromFileName(setup.database_file) : input.symbol;

    std::error_code error;
    if (!std::filesystem::exists(setup.database_file, error)) {
        return;
    }
    db_ = setup.read_only ? storage::Database::OpenReadOnly(setup.database_file)
                          : storage::Database::Open(setup.database_file);
    // The panel reads a contract's whole history for its CALL and PUT levels: pages kept in
    // memory between clicks make the next day or contract quick. Settings of this connection
    // only; the file is not touched.
    db_.Execute("PRAGMA cache_size = -32768");
    FindLatestDay();
    Refresh();
    FillContractsList();
    Refresh();
    ClearTables();
    Refresh();
    ComputeAll();
    Refresh();
    FillTables();
}

void LeftPanelModel::Refresh() {
    services_.host.PumpEvents();
}

void LeftPanelModel::FindLatestDay() {
    const common::Clock& clock = services_.clock != nullptr
                                     ? *services_.clock
                                     : static_cast<const common::Clock&>(system_clock_);
    // The latest stored day from today back to the first day of 1970. A stored date counts
    // when it is exactly the day's text ("date= ?" with that text would find it), so dates
    // in another shape stay unseen; no table, no database or an unreadable file find none.
    const common::Date today = common::DayStart(clock.Now());
    common::Date found = common::kInvalidDate;
    storage::Statement dates =
        db_.Prepare("SELECT DISTINCT date FROM dating WHERE typeof(date) = 'text'");
    while (dates.Step()) {
        const std::string text = dates.ColumnText(0);
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day >= 0 && day <= today && day > found && common::DayText(day) == text) {
            found = day;
        }
    }
    context_.date = found;
    if (services_.view != nullptr) {
        services_.view->ShowDate(found);
    }
    TakeFirstForwardPoint();
}

std::vector<common::Date> LeftPanelModel::DaysWithData() const {
    std::vector<common::Date> days;
    if (!db_.IsOpen()) {
        return days;
    }
    // The days FindLatestDay would find: dates stored exactly as day texts.
    storage::Statement dates =
        db_.Prepare("SELECT DISTINCT date FROM dating WHERE typeof(date) = 'text'");
    while (dates.Step()) {
        const std::string text = dates.ColumnText(0);
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day >= 0 && common::DayText(day) == text) {
            days.push_back(day);
        }
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

std::string LeftPanelModel::ExpirationOf(const std::string& contract) const {
    if (!db_.IsOpen() || !HasDay()) {
        return {};
    }
    storage::Statement rows = quotes::Query(
        db_, "SELECT * FROM dating WHERE date = ? AND contract = ?", {Date(), contract});
    return rows.Step() ? rows.ColumnText(quotes::kExpiration) : std::string();
}

void LeftPanelModel::FillContractsList() {
    std::vector<std::string> contracts;
    {
        Busy busy(*this, common::text::kContractsFilling, common::text::kContractsFilled);
        storage::Transaction transaction(db_);
        storage::Statement rows =
            quotes::Query(db_, "SELECT * FROM dating WHERE date= ?", {Date()});
        while (contracts.size() < static_cast<std::size_t>(kPanelTableRows) && rows.Step()) {
            std::string contract = rows.ColumnText(quotes::kContract);
            if (!contract.empty() &&
                std::find(contracts.begin(), contracts.end(), contract) == contracts.end()) {
                contracts.push_back(std::move(contract));
            }
        }
        transaction.Commit();
        contracts_ = std::move(contracts);
        int selected = contracts_.empty() ? -1 : 0;
        for (std::size_t i = 0; i < contracts_.size(); ++i) {
            if (common::Contains(contracts_[i], "EU")) {
                selected = static_cast<int>(i);
                break;
            }
        }
        SelectContract(selected);
    }
}

bool LeftPanelModel::ComputeBasicIndicators() {
    if (!CanCalculate()) {
        return false;
    }
    Busy busy(*this, common::text::kBasicIndicatorsStarted, common::text::kBasicIndicatorsDone);
    ResolveForwardPoint();
    // Set only from the rows read: a contract without any must not show another's date.
    context_.expiration.clear();
    const std::optional<DayFigures> figures = Slice().Figures();
    if (!figures) {
        return false;
    }
    figures->BasicIndicators(Settings(), context_);
    return true;
}

bool LeftPanelModel::ComputeMarketBorders() {
    if (!CanCalculate()) {
        return false;
    }
    Busy busy(*this, common::text::kMarketBordersStarted, common::text::kMarketBordersDone);
    ResolveForwardPoint();
    Refresh();
    const std::optional<DayFigures> figures = Slice().Figures();
    if (!figures) {
        return false;
    }
    figures->MarketBorders(Settings(), context_, &services_.host);
    return true;
}

bool LeftPanelModel::ComputePutCallRatios() {
    if (!CanCalculate()) {
        return false;
    }
    Busy busy(*this, common::text::kRatiosStarted, common::text::kRatiosDone);
    ResolveForwardPoint();
    const std::optional<DayFigures> figures = Slice().Figures();
    return figures && figures->PutCallRatios(context_, &services_.host);
}

bool LeftPanelModel::ComputeSignificantLevels() {
    if (!CanCalculate()) {
        return false;
    }
    bool done = false;
    {
        Busy busy(*this, common::text::kSignificantLevelsStarted,
                  common::text::kSignificantLevelsDone);
        ResolveForwardPoint();
        done = CalculateSignificantLevels(Slice().RowsFor(Settings().level_cond), Settings(),
                                          context_);
    }
    ShowConditionFailure();
    return done;
}

bool LeftPanelModel::ComputeSignificantFractals() {
    if (!CanCalculate()) {
        return false;
    }
    bool done = false;
    {
        Busy busy(*this, common::text::kSignificantFractalsStarted,
                  common::text::kSignificantFractalsDone);
        ResolveForwardPoint();
        // One source for both conditions: the whole file when either reads beyond its row.
        const std::string& near = Settings().fractal_near_cond;
        done = CalculateSignificantFractals(
            Slice().RowsFor(ConditionLooksBeyondTheRow(near) ? near : Settings().fractal_main_cond),
            Settings(), context_);
    }
    ShowConditionFailure();
    return done;
}

// After the step's own end text, so that the reason stays in the status bar.
void LeftPanelModel::ShowConditionFailure() const {
    if (!context_.condition_failure.empty()) {
        services_.host.ShowStatus(context_.condition_failure);
    }
}

void LeftPanelModel::ComputeAll() {
    ComputeBasicIndicators();
    Refresh();
    ComputeMarketBorders();
    Refresh();
    ComputePutCallRatios();
    Refresh();
    ComputeSignificantLevels();
    // Fractals belong to the day and contract like every other figure: kept from an earlier
    // calculation they would stand under another day's header.
    Refresh();
    ComputeSignificantFractals();
}

void LeftPanelModel::ClearTables() {
    ClearColumn(cells_.level_call);
    ClearColumn(cells_.level_put);
    ClearColumn(cells_.fractal_call);
    ClearColumn(cells_.fractal_put);
    if (services_.view != nullptr) {
        services_.view->ShowCells(cells_);
    }
}

void LeftPanelModel::FillTables() {
    ShowStatus(common::text::kLeftTablesFilling, common::text::kLeftPanelLocked);
    cells_ = PanelTexts(context_);
    if (services_.view != nullptr) {
        services_.view->ShowCells(cells_);
    }
    ShowStatus(common::text::kLeftTablesFilled, common::text::kProgramReady);
    // A damaged page ends a query as if the rows had run out, so what the panel shows may be a
    // part of the day only: the last word on the status line says so, naming the file.
    if (const std::string fault = DatabaseFaultLine(); !fault.empty()) {
        services_.host.ShowStatus(fault);
    }
}

std::string LeftPanelModel::DatabaseFault() const {
    std::string fault = db_.FaultText();
    return fault.empty() ? query_fault_ : fault;
}

void LeftPanelModel::NoteQueryFault(const std::string& reason) {
    if (query_fault_.empty()) {
        query_fault_ = reason;
    }
    services_.host.ShowStatus(DatabaseFaultLine());
}

std::string LeftPanelModel::DatabaseFaultLine() const {
    const std::string fault = DatabaseFault();
    if (fault.empty()) {
        return {};
    }
    return context_.database_file.string() + services_.host.Text(common::text::kFileCannotBeRead) +
           fault;
}

void LeftPanelModel::SettingsChanged() {
    const settings::Settings& now = Settings();
    if (common::Trim(now.level_cond) != common::Trim(taken_.level_cond)) {
        ClearColumn(cells_.level_call);
        ClearColumn(cells_.level_put);
        context_.call_levels.clear();
        context_.put_levels.clear();
        taken_.level_cond = now.level_cond;
        ComputeSignificantLevels();
        FillTables();
    }
    if (common::Trim(now.fractal_main_cond) != common::Trim(taken_.fractal_main_cond) ||
        common::Trim(now.fractal_near_cond) != common::Trim(taken_.fractal_near_cond)) {
        ClearColumn(cells_.fractal_call);
        ClearColumn(cells_.fractal_put);
        context_.call_fractals.clear();
        context_.put_fractals.clear();
        taken_.fractal_main_cond = now.fractal_main_cond;
        taken_.fractal_near_cond = now.fractal_near_cond;
        ComputeSignificantFractals();
        FillTables();
    }
    // Both change every shown price; the calculation reads both from the settings, so one
    // recomputation serves a change of either or both.
    if (now.price_type != taken_.price_type || now.is_fp != taken_.is_fp) {
        taken_.price_type = now.price_type;
        taken_.is_fp = now.is_fp;
        RecomputeShown();
    }
}

MaxPain LeftPanelModel::ShownMaxPain() {
    if (!CanCalculate()) {
        return {};
    }
    const std::optional<DayFigures> figures = Slice().Figures();
    return figures ? figures->DayMaxPain(context_.symbol, context_.forward_point, PriceType())
                   : MaxPain();
}

// A setting that changes every shown price: the tables are computed and filled anew.
void LeftPanelModel::RecomputeShown() {
    ClearTables();
    ComputeAll();
    Refresh();
    FillTables();
}

void LeftPanelModel::DateChanged(common::Date picked) {
    const std::string picked_text = common::DayText(picked);
    if (picked < 0 || picked_text == Date()) {
        return;
    }
    const common::Date previous_date = context_.date;
    const common::Result<bool> has_rows = DayHasRows(picked_text);
    if (!has_rows) {
        // A query that fails says nothing of the day: the shown day stays, and the status
        // line names the file and the fault instead of "no data".
        NoteQueryFault(has_rows.Reason());
        if (services_.view != nullptr) {
            services_.view->ShowDate(context_.date);
        }
        return;
    }
    if (*has_rows) {
        context_.date = common::DayStart(picked);
        TakeFirstForwardPoint();
    } else {
        services_.host.ShowMessage(services_.host.Text(common::text::kMessage),
                                   services_.host.Text(common::text::kNoDataForDate) +
                                       services_.host.Text(common::text::kTryAgain));
        // The day shown stays, with its numbers; only a panel without a day looks for one.
        if (previous_date != common::kInvalidDate) {
            if (services_.view != nullptr) {
                services_.view->ShowDate(context_.date);
            }
            NotifyHistograms();
            return;
        }
        FindLatestDay();
        if (!HasDay()) {
            return;
        }
    }
    const std::string remembered = context_.contract;
    FillContractsList();
    const auto kept = std::find(contracts_.begin(), contracts_.end(), remembered);
    if (kept != contracts_.end()) {
        SelectContract(static_cast<int>(kept - contracts_.begin()));
    }
    ClearTables();
    ComputeAll();
    FillTables();
    NotifyHistograms();
}

void LeftPanelModel::ContractChanged(std::string_view contract) {
    if (contract == context_.contract) {
        return;
    }
    const auto found = std::find(contracts_.begin(), contracts_.end(), contract);
    selected_contract_ =
        found == contracts_.end() ? -1 : static_cast<int>(found - contracts_.begin());
    context_.contract = std::string(contract);
    Refresh();
    ClearTables();
    Refresh();
    ComputeAll();
    Refresh();
    FillTables();
    NotifyHistograms();
}

void LeftPanelModel::CloseDatabase() {
    db_.Close();
}

int LeftPanelModel::SymbolIndex(std::string_view symbol) {
    return common::ChartIndex(symbol);
}

DaySlice& LeftPanelModel::Slice() {
    return slice_.Select(db_, Date(), context_.contract);
}

bool LeftPanelModel::CanCalculate() const {
    return db_.IsOpen() && HasDay();
}

void LeftPanelModel::ShowStatus(int entry, int tail) const {
    services_.host.ShowStatus(services_.host.Text(entry) + services_.host.Text(tail));
}

void LeftPanelModel::LockPanel() {
    if (lock_depth_++ == 0 && services_.view != nullptr) {
        services_.view->SetPanelEnabled(false);
    }
}

void LeftPanelModel::UnlockPanel() {
    if (lock_depth_ > 0 && --lock_depth_ == 0 && services_.view != nullptr) {
        services_.view->SetPanelEnabled(true);
    }
}

// The forward point of a newly chosen day, before any calculation resolves its own: the file
// of the next calendar day, else the day's own file, else the file of the day before.
void LeftPanelModel::TakeFirstForwardPoint() {
    const common::Date day = context_.date;
    if (input_.ForwardPointSwitch() != 1 || day == common::kInvalidDate) {
        return;
    }
    const common::ProgramFolder& folder = services_.folder;
    const common::Date next = day + common::kSecondsPerDay;
    std::error_code error;
    common::Date source = day - common::kSecondsPerDay;
    if (std::filesystem::exists(folder.ForwardPointFile(next), error)) {
        source = next;
    } else if (std::filesystem::exists(folder.ForwardPointFile(day), error)) {
        source = day;
    }
    context_.forward_point =
        source > 0 ? GetFPFromFile(folder, source, context_.symbol, services_.host) : 0.0;
}

void LeftPanelModel::ResolveForwardPoint() {
    context_.forward_point =
        analytics::ResolveForwardPoint(services_.folder, context_.date, context_.symbol,
                                       input_.ForwardPointSwitch(), services_.host);
}

common::Result<bool> LeftPanelModel::DayHasRows(const std::string& day) const {
    // A panel without its file has no rows: that is said where the file is opened.
    if (!db_.IsOpen()) {
        return common::Result<bool>::Of(false);
    }
    storage::Statement query = quotes::Query(db_, "SELECT * FROM dating WHERE date = ?", {day});
    const bool found = query.Step();
    if (query.Failed() || !query.IsValid()) {
        return common::Result<bool>::Failed(query.Error().empty() ? "the quote rows cannot be read"
                                                                  : query.Error());
    }
    return common::Result<bool>::Of(found);
}

void LeftPanelModel::SelectContract(int index) {
    selected_contract_ = index;
    context_.contract = index >= 0 ? contracts_[static_cast<std::size_t>(index)] : std::string();
    if (services_.view != nullptr) {
        services_.view->ShowContracts(contracts_, selected_contract_);
    }
}

void LeftPanelModel::NotifyHistograms() const {
    const int index = SymbolIndex(context_.symbol);
    if (services_.notifier != nullptr && index >= 0) {
        services_.notifier->NotifyHistograms(index);
    }
}

}  // namespace zarvex::analytics
