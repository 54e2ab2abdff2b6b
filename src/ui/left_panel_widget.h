#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "analytics/left_panel/left_panel_model.h"
#include "analytics/left_panel/left_panel_view.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;
class QToolButton;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class InputBlocker;

// The left panel of an instrument on screen: date picker, contract drop-down and five tables
// at their fixed places. A view over the left panel model, which it owns and drives.
class LeftPanelWidget final : public QWidget, public analytics::LeftPanelView {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 200;
    static constexpr int kMinHeight = 600;

    // Creates the controls at (x, y), w x h raised to the minimums. The model is built by
    // Build. blocker may be null: the panel is then disabled while it calculates.
    LeftPanelWidget(QWidget* parent, int control_number, int x, int y, int w, int h,
                    const common::TextTable& texts, analytics::LeftPanelServices services,
                    InputBlocker* blocker);
    ~LeftPanelWidget() override;

    // Builds the model: the latest day with data, its contracts and calculations.
    void Build(const analytics::AnalysisInput& input, const analytics::LeftPanelSetup& setup);
    // Re-lays out to the new rectangle (no minimums here).
    void Relayout(int x, int y, int w, int h);

    // The user has committed a day in the date picker (Enter, leaving the field or a pick in
    // the calendar); until then the panel shows the latest day with data.
    bool DayChosenByUser() const { return day_chosen_; }
    // Sets the day in the date picker and commits it, as if the user had picked it.
    void PickDay(common::Date day);
    // The day with data before (-1) or after (+1) the shown one, picked; nothing when there
    // is none. Alt+Left and Alt+Right, and the two buttons beside the date field.
    void StepDay(int direction);
    // Chooses a contract of the shown day as the drop-down would; false when the day lacks it.
    bool PickContract(const std::string& contract);
    // What "Copy" puts on the clipboard for table 0..4: tab-separated rows of the shown cells.
    QString CopyText(int table) const;

    analytics::LeftPanelModel& Model() { return *model_; }
    const analytics::LeftPanelModel& Model() const { return *model_; }

    QDateEdit* DatePicker() const { return date_; }
    QComboBox* ContractList() const { return contract_; }
    // Tables A to E: 0 expiration and levels, 1 market borders, 2 ratios, 3 significant
    // levels, 4 significant fractals.
    QTableWidget* Table(int index) const { return tables_.at(static_cast<std::size_t>(index)); }
    QLabel* FractalsCaption() const { return fractals_caption_; }
    QToolButton* PreviousDayButton() const { return previous_day_; }
    QToolButton* NextDayButton() const { return next_day_; }

    // The view's side.
    void SetPanelEnabled(bool enabled) override;
    void ShowDate(common::Date day) override;
    void ShowContracts(const std::vector<std::string>& contracts, int selected) override;
    void ShowCells(const analytics::LeftPanelCells& cells) override;

private:
    QLabel* Caption(int entry, QRect place);
    QTableWidget* MakeRowTable(QRect place, const std::vector<int>& rows);
    QTableWidget* MakeListTable(QRect place);
    void SetListColumns(QTableWidget* table);
    bool CalendarOpen() const;
    void CommitDate();
    void PickedContract(int index);
    void ShowGrid(bool shown);
    // Days with data in the calendar: in the normal face, every other day greyed.
    void MarkDataDays();
    void UpdateDayButtons();
    void PlaceDateField(int w);

    const common::TextTable& texts_;
    InputBlocker* blocker_;
    std::unique_ptr<analytics::LeftPanelModel> model_;
    QDateEdit* date_ = nullptr;
    QComboBox* contract_ = nullptr;
    QToolButton* previous_day_ = nullptr;
    QToolButton* next_day_ = nullptr;
    std::vector<common::Date> data_days_;
    std::array<QTableWidget*, 5> tables_{};
    QLabel* fractals_caption_ = nullptr;
    bool panel_locked_ = false;
    bool day_chosen_ = false;
    bool committing_ = false;
};

}  // namespace zarvex::ui
