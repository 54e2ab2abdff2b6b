#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "analytics/right_panel/right_panel_model.h"
#include "common/date.h"
#include "common/host.h"
#include "common/price_type.h"
#include "ui/chart/chart_overlay.h"

class QAction;
class QLabel;
class QTabWidget;
class QTableWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class CompareControl;
class CompareOverlay;
class HistogramChart;
class HistoryTab;
class ScorecardView;
class VolatilityTab;

// The prices the left panel shows that a trader steers by, as lines for the histograms of the
// same price type.
struct KeyPrices {
    std::optional<common::PriceType> price_type;  // the left panel's; none: none known
    std::vector<PriceLine> lines;
};

// The right panel of an instrument on screen: a tab control with the four captioned histogram
// charts, the CALL and PUT option tables and the contract's history, and the forward-point
// field and the compare choice beside it. A view over the right panel model, which it owns.
class RightPanelWidget final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 600;
    // Control numbers of the four charts, from the panel's number.
    static constexpr std::array<int, 4> kChartOffsets{171, 237, 373, 444};

    // Creates the controls at (x, y) in parent, w x h raised to the minimums. The forward-point
    // field and its label are made in parent, beside the panel.
    RightPanelWidget(QWidget* parent, int control_number, int x, int y, int w, int h,
                     const common::TextTable& texts, const storage::Database& quote,
                     common::ProgramFolder folder, common::Host host);
    ~RightPanelWidget() override;

    // Configures the model (option tables, histogram 1) and shows the result; histograms 2 to
    // 4 follow one by one from the event loop, so no chart of the day stays empty.
    void Configure(const analytics::AnalysisInput& input);
    // The left panel's key prices, drawn from the next drawing on.
    void SetKeyPrices(KeyPrices prices) { key_prices_ = std::move(prices); }
    // The key-price lines on or off on every chart, redrawn.
    void SetKeyPriceLinesShown(bool shown);
    bool KeyPriceLinesShown() const { return key_lines_shown_; }
    // Builds the histograms still waiting now instead of later.
    void BuildPendingHistograms();
    void Relayout(int x, int y, int w, int h);

    analytics::RightPanelModel& Model() { return *model_; }
    QTabWidget* Tabs() const { return tabs_; }
    QLabel* ChartCaption(int n) const { return captions_.at(static_cast<std::size_t>(n - 1)); }
    HistogramChart* Chart(int n) const { return charts_.at(static_cast<std::size_t>(n - 1)); }
    QLabel* CallCaption() const { return call_caption_; }
    QLabel* PutCaption() const { return put_caption_; }
    QTableWidget* CallTable() const { return call_table_; }
    QTableWidget* PutTable() const { return put_table_; }
    QLabel* ForwardPointField() const { return forward_point_; }
    QLabel* ForwardPointLabel() const { return forward_point_label_; }
    HistoryTab* History() const { return history_; }
    VolatilityTab* Volatility() const { return volatility_; }
    ScorecardView* Scorecard() const { return scorecard_; }
    // The charts' context-menu switch of the +-1 and +-2 sigma strips (on at start).
    QAction* BandsSwitch() const { return bands_; }
    CompareControl* Compare() const { return compare_; }
    CompareOverlay& Overlay() { return *overlay_; }
    // The tooltip over position i of histogram n: the shown price, the PUT and CALL values with
    // the strike and premium of every row that makes them, and with the overlay the other
    // day's values and the change.
    QString BarText(int n, int position) const;
    // Default file names in the unload's style for what the panel saves.
    QString DefaultName(const QString& what, const QString& extension) const;
    // Histograms of the current configuration still to be built.
    bool HasPendingHistograms() const { return next_histogram_ <= 4; }

signals:
    // A day clicked in the History page.
    void DayPicked(common::Date day);
    // The user switched the key-price lines in a chart's menu.
    void KeyPriceLinesSwitched(bool shown);

private:
    // The Histograms and Data pages in the tabs' size; call_left is where the CALL side starts.
    void LayoutPages(int call_left);
    // Follows the overlay's choice: every built chart redrawn, arrays from memory when held.
    void RedrawCharts();
    void FollowCompareDays();
    std::string OtherDate() const;
    // The shown day as the texts and file names write it, "" without one.
    std::string ShownDate() const;
    // Columns 1 to 8 by the width rule, widened where a text needs more (FitOptionColumns).
    void SetTableColumns(QTableWidget* table);
    void PlaceForwardPoint(int label_height);
    void FillTable(QTableWidget* table, const analytics::OptionTable& rows);
    // The chart's drawing step, announced in the status bar.
    void Draw(int n);
    void BuildNextLater();
    // The volatility page follows the shown day and the compared one; the option tables'
    // model columns and the charts' strips come from its figures.
    void FollowVolatility();
    void FillModelColumns(QTableWidget* table, const analytics::OptionTable& rows, bool call);
    std::vector<double> BandPrices(int n) const;

    const common::TextTable& texts_;
    common::Host host_;
    std::unique_ptr<analytics::RightPanelModel> model_;
    QTabWidget* tabs_ = nullptr;
    std::array<QLabel*, 4> captions_{};
    std::array<HistogramChart*, 4> charts_{};
    QLabel* call_caption_ = nullptr;
    QLabel* put_caption_ = nullptr;
    QTableWidget* call_table_ = nullptr;
    QTableWidget* put_table_ = nullptr;
    QLabel* forward_point_ = nullptr;
    QLabel* forward_point_label_ = nullptr;
    HistoryTab* history_ = nullptr;
    VolatilityTab* volatility_ = nullptr;
    ScorecardView* scorecard_ = nullptr;
    QAction* bands_ = nullptr;
    CompareControl* compare_ = nullptr;
    std::unique_ptr<CompareOverlay> overlay_;
    const storage::Database* quote_ = nullptr;
    common::ProgramFolder folder_;
    std::string days_contract_;
    std::vector<common::Date> contract_days_;
    KeyPrices key_prices_;
    bool key_lines_shown_ = true;
    int next_histogram_ = 5;
    bool build_queued_ = false;
};

// Width of column k (1..8) of an option table t pixels wide.
int OptionColumnWidth(int column, int table_width);

// Widths of columns 1..8 of an option table: by the width rule, but never narrower than the
// widest text of the column needs (`needed`); what that adds is taken back from columns with
// room to spare, so the table's width stays as it was wherever the room allows.
std::array<int, 8> FitOptionColumns(const std::array<int, 8>& needed, int table_width);

}  // namespace zarvex::ui
