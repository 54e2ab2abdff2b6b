#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "analytics/volatility/contract_volatility.h"
#include "storage/database.h"

class QTableWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class SeriesChart;
class SmileChart;

// What the day's shown contract and its neighbours look like to the option market.
struct VolatilityView {
    std::string symbol;
    std::string date;  // "%dd.%mm.%yyyy"
    std::string contract;
    int price_type = 0;  // the left panel's, for the prices among the figures
    double forward_point = 0.0;
    std::string compare_date;  // the compared day, empty for none
};

// The Volatility page of the right panel: the contract's smile (points sized by open interest,
// the forward marked, a compared day outlined), the term structure of the day's contracts, and
// a table of the figures with how many strikes have no volatility and why.
class VolatilityTab final : public QWidget {
    Q_OBJECT

public:
    VolatilityTab(QWidget* parent, const common::TextTable& texts, const storage::Database& quote);

    // Reads the day's rows and shows them; the figures are kept for the panel's other views.
    void Follow(const VolatilityView& view);
    // The shown contract's figures; nullopt when its rows could not be read.
    const std::optional<analytics::ContractVolatility>& Figures() const { return figures_; }
    const VolatilityView& View() const { return view_; }

    SmileChart* Smile() const { return smile_; }
    SeriesChart* Term() const { return term_; }
    QTableWidget* Table() const { return table_; }
    // The tooltip over point i of the smile: strike, both premiums, volatility, model and
    // report delta.
    QString PointText(int point) const;
    // A futures price as the left panel shows prices.
    QString Shown(double price) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillTable();
    void FillTerm();
    QString Text(int entry) const;

    const common::TextTable& texts_;
    const storage::Database* quote_;
    VolatilityView view_;
    std::optional<analytics::ContractVolatility> figures_;
    // Why the shown contract's rows could not be read; empty when they could.
    std::string fault_;
    SmileChart* smile_ = nullptr;
    SeriesChart* term_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace zarvex::ui
