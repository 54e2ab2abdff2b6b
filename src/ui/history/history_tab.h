#pragma once

#include <QWidget>
#include <string>

#include "analytics/history/contract_history.h"
#include "common/date.h"
#include "common/host.h"
#include "common/price_type.h"
#include "common/program_folder.h"
#include "storage/database.h"
#include "ui/background_work.h"

class QLabel;
class QTableWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class HistoryChart;
class SeriesChart;

// The History page of the right panel: the chart of the left panel's contract over its
// stored days with the shown day marked, and the same days as a table below it. The
// history is read when the page is seen and again only when the contract, the settings or
// the set of days change; a new shown day only moves the marker. The history is computed away
// from the window's thread, on a connection of its own; "Computing…" stands over the chart
// until it arrives.
class HistoryTab final : public QWidget {
    Q_OBJECT

public:
    HistoryTab(QWidget* parent, const common::TextTable& texts, const storage::Database& quote,
               common::ProgramFolder folder, common::Host host);

    // The left panel's day and contract and the settings the history is made with.
    void Follow(const analytics::HistoryRequest& request, const std::string& shown_date);
    // Reads the history now if what is wanted is not what is held.
    void Refresh();

    HistoryChart* Chart() const { return chart_; }
    // ATM volatility, and RR25 with BF25, over the same days.
    SeriesChart* VolatilityChart() const { return vol_chart_; }
    QTableWidget* Table() const { return table_; }
    // The history of a request is being computed.
    bool Busy() const { return work_.Busy(); }
    QLabel* BusyNote() const { return busy_; }
    const analytics::ContractHistory& History() const { return history_; }
    // Index of the shown day in the history, -1 when it holds no such day.
    int ShownIndex() const { return shown_index_; }
    // The tooltip over a day of the chart: the date and every value of that day.
    QString DayText(int index) const;
    QString DefaultName(const QString& what, const QString& extension) const;
    // "Save as CSV…" of the table: the history as `zarvex-cli history --csv` writes it.
    bool SaveCsv(const QString& path) const;

signals:
    // A day clicked in the chart or the table, to be set in the left panel.
    void DayPicked(common::Date day);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Load();
    void ShowHistory();
    void FillTable();
    static std::vector<std::string> ShownCells(const analytics::HistoryDay& day);
    void MarkShownDay();
    void FillVolatilityChart();
    QString Text(int entry) const;

    const common::TextTable& texts_;
    const storage::Database* quote_;
    common::ProgramFolder folder_;
    common::Host host_;
    HistoryChart* chart_ = nullptr;
    SeriesChart* vol_chart_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* busy_ = nullptr;
    analytics::HistoryRequest wanted_;
    analytics::HistoryRequest held_;
    // The settings the held history was made with: the request refers to the instrument's,
    // which the settings dialog may have changed since.
    common::PriceType held_price_type_ = common::PriceType::kFutures;
    int held_fp_switch_ = 0;
    bool has_history_ = false;
    std::string shown_date_;
    int shown_index_ = -1;
    analytics::ContractHistory history_;
    // Last, so that a computation ends before anything it delivers to goes.
    BackgroundWork work_;
};

}  // namespace zarvex::ui
