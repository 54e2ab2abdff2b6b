#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/gamma_exposure.h"
#include "common/price_type.h"
#include "common/program_folder.h"
#include "settings/contract_sizes.h"
#include "storage/database.h"
#include "ui/background_work.h"

class QLabel;
class QSpinBox;
class QTabBar;
class QTableWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class DensityChart;
class ExposureChart;
class SeriesChart;
class SmileChart;
class VolMemoryView;

// What the day's shown contract and its neighbours look like to the option market.
struct VolatilityView {
    std::string symbol;
    std::string date;  // "%dd.%mm.%yyyy"
    std::string contract;
    // The left panel's, for the prices among the figures.
    common::PriceType price_type = common::PriceType::kFutures;
    double forward_point = 0.0;
    std::string compare_date;  // the compared day, empty for none
};

// The Volatility page of the right panel: the contract's smile (points sized by open interest,
// the forward marked, a compared day outlined), the term structure of the day's contracts, and
// a table of the figures with how many strikes have no volatility and why. The shown contract's
// figures are read at once (the panel's tables and bands use them); the compared day and the
// term structure, which reads every contract of the day, are computed away from the window's
// thread and drawn when they arrive. A second page sets the symbol's volatility against its own
// past (VolMemoryView).
class VolatilityTab final : public QWidget {
    Q_OBJECT

public:
    // One contract of the day on the term structure.
    struct TermEntry {
        std::int64_t days = 0;
        std::optional<double> atm;
        std::optional<double> rr25;
        std::optional<double> bf25;
    };

    VolatilityTab(QWidget* parent, const common::TextTable& texts, const storage::Database& quote,
                  common::ProgramFolder folder);

    // Reads the day's rows and shows them; the figures are kept for the panel's other views.
    void Follow(const VolatilityView& view);
    // The shown contract's figures; nullopt when its rows could not be read.
    const std::optional<analytics::ContractVolatility>& Figures() const { return figures_; }
    const VolatilityView& View() const { return view_; }

    SmileChart* Smile() const { return smile_; }
    SeriesChart* Term() const { return term_; }
    QTableWidget* Table() const { return table_; }
    DensityChart* Density() const { return density_; }
    ExposureChart* Exposure() const { return exposure_; }
    // This day's page (0) and the page across days (1).
    QTabBar* Pages() const { return pages_; }
    VolMemoryView* Memory() const { return memory_; }
    QSpinBox* ContractSize() const { return size_; }
    // Flips who is assumed long the CALLs and redraws the exposure.
    void SwitchSign();
    // The compared day and the term structure are being computed.
    bool Busy() const { return work_.Busy(); }
    QLabel* BusyNote() const { return busy_; }
    // The tooltip over point i of the smile: strike, both premiums, volatility, model and
    // report delta.
    QString PointText(int point) const;
    // A futures price as the left panel shows prices.
    QString Shown(double price) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillTable();
    void FillTerm(const std::vector<TermEntry>& entries);
    void FillDensity();
    void FillExposure();
    void ShowPage(int page);
    void SizeChanged(int size);
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
    DensityChart* density_ = nullptr;
    ExposureChart* exposure_ = nullptr;
    QLabel* size_label_ = nullptr;
    QSpinBox* size_ = nullptr;
    // Kept in the user's own state (contract-sizes.conf), as the command line reads them.
    settings::ContractSizes sizes_;
    analytics::GammaSign sign_ = analytics::GammaSign::kDealerLongCalls;
    QLabel* busy_ = nullptr;
    QTabBar* pages_ = nullptr;
    VolMemoryView* memory_ = nullptr;
    // Last, so that a computation ends before anything it delivers to goes.
    BackgroundWork work_;
};

}  // namespace zarvex::ui
