#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "analytics/volatility/vol_cone.h"
#include "analytics/volatility/vol_history.h"
#include "common/program_folder.h"
#include "ui/background_work.h"

class QLabel;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class VolConeChart;
class VolHistoryChart;

// What the volatility across days came to for a symbol and a shown day.
struct VolMemory {
    std::vector<analytics::VolHistoryDay> history;  // every stored day, oldest first
    std::vector<analytics::ConeTenor> cone;         // of the shown day
    std::optional<std::size_t> shown;               // the shown day's place in history
    std::string fault;  // why there is nothing, naming the file; empty when read
};

// The Volatility page's second page: the symbol's 30-day volatility with the futures' realized
// volatility and the premium between them, the shown day's rank and percentile beside it, and
// the volatility cone with the day's term structure over it. It reads the symbol's volatility
// store (building it first when it is missing or behind the quote file, which on years of days
// takes seconds and is shown as it goes) away from the window's thread, only while the page is
// shown, and again only when the symbol, the day or the quote file changed.
class VolMemoryView final : public QWidget {
    Q_OBJECT

public:
    VolMemoryView(QWidget* parent, const common::TextTable& texts, common::ProgramFolder folder);

    // The symbol and the shown day ("%dd.%mm.%yyyy").
    void Follow(const std::string& symbol, const std::string& date);

    VolHistoryChart* History() const { return history_; }
    VolConeChart* Cone() const { return cone_; }
    // The shown day's figures, or why there are none.
    QLabel* Note() const { return note_; }
    // "Computing…", or how far the store's build has come.
    QLabel* BusyNote() const { return busy_; }
    bool Busy() const { return work_.Busy(); }

signals:
    // The store's build said how far it has come (on the window's thread).
    void Progressed(qulonglong done, qulonglong total);
    // A result arrived and is shown.
    void Shown();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void StartIfDue();
    void Show(VolMemory& memory);
    QString NoteOf(const VolMemory& memory) const;
    QString Text(int entry) const;
    void PlaceBusy();

    const common::TextTable& texts_;
    common::ProgramFolder folder_;
    std::string symbol_;
    std::string date_;
    // The symbol, day and quote file of the latest computation started.
    std::string made_from_;
    VolHistoryChart* history_ = nullptr;
    VolConeChart* cone_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* busy_ = nullptr;
    // Last, so that a computation ends before anything it delivers to goes.
    BackgroundWork work_;
};

}  // namespace zarvex::ui
