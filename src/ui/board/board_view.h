#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <vector>

#include "analytics/board/alert_check.h"
#include "analytics/board/board.h"
#include "common/clock.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "ui/background_work.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class OiHeatmap;

// What the board view reads: the six quote databases with their settings, the program folder
// (forward points), the user's configuration folder (alert rules) and today.
struct BoardViewServices {
    const common::TextTable* texts = nullptr;
    common::Host host;
    common::ProgramFolder folder{std::filesystem::path(".")};
    std::filesystem::path config_folder;
    std::function<std::vector<analytics::BoardSource>()> sources;
    const common::Clock* clock = nullptr;  // the computer's clock when null
};

// The evening board: one row per symbol with its front contract's figures and arrows for their
// change since the previous trading day, the fired alerts, the largest changes of open
// interest of a symbol, and its open-interest map as a heatmap. A click on a row or on a cell
// of the map asks for that instrument, contract and day to be shown.
class BoardView final : public QWidget {
    Q_OBJECT

public:
    BoardView(QWidget* parent, BoardViewServices services);
    ~BoardView() override;

    // Reads the latest stored day again, away from the window's thread, and redraws everything
    // when it arrives; the title says so meanwhile.
    void Refresh();
    // The board or the map is being computed.
    bool Busy() const { return board_work_.Busy() || map_work_.Busy(); }
    // Opens the alert rules dialog; the rules are checked again when it is saved.
    void EditRules();

    const analytics::Board& Board() const { return board_; }
    const std::vector<analytics::FiredAlert>& Fired() const { return fired_; }
    QLabel* Title() const { return title_; }
    // While a symbol's volatility store is first built: how far it has come.
    QLabel* StoreProgress() const { return progress_; }
    QTableWidget* Summary() const { return summary_; }
    QListWidget* Alerts() const { return alerts_; }
    QTabWidget* Lists() const { return lists_; }
    QComboBox* MapSymbol() const { return map_symbol_; }
    QComboBox* MapChange() const { return map_change_; }
    OiHeatmap* Heatmap() const { return heatmap_; }
    QSpinBox* Floor() const { return floor_; }
    QPushButton* RulesButton() const { return rules_; }

signals:
    // Show this instrument (index 0..5), contract and day in the instrument's panels.
    void ShowContract(int instrument_index, const QString& contract, qint64 day);
    // What StoreProgress() now says.
    void StoreProgressed(const QString& text);

private:
    void FillSummary();
    void FillAlerts();
    void FillLists();
    void FillMap();
    void ShowTitle();
    const analytics::SymbolBoard* SelectedSymbol() const;
    QString Text(int id) const;

    BoardViewServices services_;
    analytics::Board board_;
    std::vector<analytics::FiredAlert> fired_;
    QLabel* title_;
    // How far the build of a symbol's volatility store has come while the board computes.
    QLabel* progress_;
    QSpinBox* floor_;
    QPushButton* rules_;
    QTableWidget* summary_;
    QListWidget* alerts_;
    QTabWidget* lists_;
    QComboBox* map_symbol_;
    QComboBox* map_change_;
    OiHeatmap* heatmap_;
    // Last, so that the computations end before anything they deliver to goes.
    BackgroundWork board_work_;
    BackgroundWork map_work_;
};

}  // namespace zarvex::ui
