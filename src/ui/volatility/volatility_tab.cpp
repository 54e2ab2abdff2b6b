#include "ui/volatility/volatility_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "analytics/day/quote_queries.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/smile_probability.h"
#include "analytics/volatility/term_structure.h"
#include "analytics/volatility/volatility_summary.h"
#include "common/config_folder.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "ui/database_file.h"
#include "ui/side_caption.h"
#include "ui/volatility/density_chart.h"
#include "ui/volatility/exposure_chart.h"
#include "ui/volatility/series_chart.h"
#include "ui/volatility/smile_chart.h"
#include "ui/volatility/vol_memory_view.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

namespace text = common::text;

QString Number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString Optional(const std::optional<double>& vol) {
    return vol ? Percent(*vol) : QStringLiteral("-");
}

}  // namespace

VolatilityTab::VolatilityTab(QWidget* parent, const common::TextTable& texts,
                             const storage::Database& quote, common::ProgramFolder folder)
    : QWidget(parent), texts_(texts), quote_(&quote) {
    pages_ = new QTabBar(this);
    pages_->setObjectName(QStringLiteral("volatilityPages"));
    pages_->setDocumentMode(true);
    pages_->setDrawBase(false);
    pages_->addTab(Text(text::kVolDayPage));
    pages_->addTab(Text(text::kVolAcrossDays));
    memory_ = new VolMemoryView(this, texts, std::move(folder));
    memory_->setObjectName(QStringLiteral("volMemory"));
    memory_->hide();
    connect(pages_, &QTabBar::currentChanged, this, &VolatilityTab::ShowPage);
    smile_ = new SmileChart(this);
    smile_->setObjectName(QStringLiteral("smileChart"));
    smile_->SetToolTipText([this](int point) { return PointText(point); });
    term_ = new SeriesChart(this);
    term_->setObjectName(QStringLiteral("termChart"));
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("volatilityTable"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(17);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    density_ = new DensityChart(this);
    density_->setObjectName(QStringLiteral("densityChart"));
    exposure_ = new ExposureChart(this);
    exposure_->setObjectName(QStringLiteral("exposureChart"));
    exposure_->SetSwitchText(Text(text::kSwitchSignAssumption));
    connect(exposure_, &ExposureChart::SignSwitchRequested, this, &VolatilityTab::SwitchSign);
    std::vector<std::string> problems;
    sizes_ = settings::ContractSizes::Read(settings::ContractSizesPath(common::UserConfigFolder()),
                                           problems);
    size_label_ = new QLabel(Text(text::kContractSize), this);
    size_ = new QSpinBox(this);
    size_->setObjectName(QStringLiteral("contractSize"));
    size_->setRange(1, 1'000'000'000);
    size_->setSingleStep(1000);
    size_->setEnabled(false);
    connect(size_, qOverload<int>(&QSpinBox::valueChanged), this, &VolatilityTab::SizeChanged);
    busy_ = new QLabel(Text(text::kComputing), this);
    busy_->setObjectName(QStringLiteral("volatilityBusy"));
    busy_->setAutoFillBackground(true);
    busy_->hide();
    connect(&work_, &BackgroundWork::BusyChanged, this, [this](bool busy) {
        busy_->adjustSize();
        busy_->move(width() - busy_->width() - 10, 6);
        busy_->setVisible(busy && pages_->currentIndex() == 0);
        busy_->raise();
    });
}

QString VolatilityTab::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

QString VolatilityTab::Shown(double price) const {
    return QString::fromStdString(
        analytics::ShownPrice(price, view_.symbol, view_.forward_point, view_.price_type));
}

namespace {

// What the worker brings back.
struct DayVolatility {
    std::optional<analytics::ContractVolatility> compare;
    std::vector<VolatilityTab::TermEntry> term;
};

}  // namespace

void VolatilityTab::Follow(const VolatilityView& view) {
    view_ = view;
    figures_.reset();
    fault_.clear();
    if (!view.contract.empty()) {
        auto loaded =
            analytics::LoadContractVolatility(*quote_, view.symbol, view.date, view.contract);
        if (loaded) {
            figures_ = std::move(loaded).Value();
        } else {
            fault_ = loaded.Reason();
        }
    }
    const auto title = [this](bool compared) {
        QString text =
            Text(text::kSmile) + QStringLiteral(" ") + QString::fromStdString(view_.date);
        if (compared) {
            text += QStringLiteral(" / ") + QString::fromStdString(view_.compare_date);
        }
        return text;
    };
    smile_->SetData(figures_.value_or(analytics::ContractVolatility()), std::nullopt, title(false));
    FillTable();
    FillTerm({});
    work_.Start<DayVolatility>(
        [file = DatabaseFile(*quote_), view] {
            const storage::Database db = storage::Database::OpenReadOnlyForScan(file);
            DayVolatility result;
            if (!view.compare_date.empty() && !view.contract.empty()) {
                if (auto compared = analytics::LoadContractVolatility(
                        db, view.symbol, view.compare_date, view.contract)) {
                    result.compare = std::move(compared).Value();
                }
            }
            if (!view.date.empty()) {
                for (const std::string& contract : analytics::ContractsOfDay(db, view.date)
                                                       .value_or(std::vector<std::string>())) {
                    const auto figures =
                        analytics::LoadContractVolatility(db, view.symbol, view.date, contract);
                    if (figures && figures->atm_vol) {
                        result.term.push_back(
                            {figures->days, figures->atm_vol, figures->rr25, figures->bf25});
                    }
                }
            }
            return result;
        },
        [this, title](DayVolatility& result) {
            const bool compared = result.compare.has_value();
            smile_->SetData(figures_.value_or(analytics::ContractVolatility()),
                            std::move(result.compare), title(compared));
            FillTerm(result.term);
        });
    FillDensity();
    FillExposure();
    memory_->Follow(view.symbol, view.date);
}

void VolatilityTab::ShowPage(int page) {
    const bool across = page == 1;
    for (QWidget* widget : std::initializer_list<QWidget*>{smile_, term_, table_, density_,
                                                           exposure_, size_label_, size_}) {
        widget->setVisible(!across);
    }
    memory_->setVisible(across);
    busy_->setVisible(!across && work_.Busy());
}

void VolatilityTab::FillDensity() {
    const analytics::ContractVolatility figures =
        figures_.value_or(analytics::ContractVolatility());
    density_->SetData(analytics::DensityOf(analytics::SmileProbability(figures)), figures.forward,
                      Text(text::kSettlementDensity), Text(text::kNegativeDensityValues));
}

void VolatilityTab::FillExposure() {
    const std::int64_t size = sizes_.Of(view_.symbol);
    {
        const QSignalBlocker blocker(size_);
        size_->setEnabled(size > 0);
        size_->setValue(static_cast<int>(std::clamp<std::int64_t>(size, 1, 1'000'000'000)));
    }
    analytics::GammaExposure exposure;
    if (figures_) {
        exposure = analytics::ExposureOf({{nullptr, &*figures_}}, static_cast<double>(size), sign_);
    }
    exposure_->SetData(
        std::move(exposure), Text(text::kGammaExposure),
        Text(sign_ == analytics::GammaSign::kDealerLongCalls ? text::kAssumeDealersLongCalls
                                                             : text::kAssumeDealersShortCalls),
        Text(text::kContractSize) + QString::number(size), Text(text::kZeroGamma));
}

void VolatilityTab::SwitchSign() {
    sign_ = sign_ == analytics::GammaSign::kDealerLongCalls
                ? analytics::GammaSign::kDealerShortCalls
                : analytics::GammaSign::kDealerLongCalls;
    FillExposure();
}

void VolatilityTab::SizeChanged(int size) {
    if (!sizes_.Set(view_.symbol, size)) {
        return;
    }
    // The file is written even when it cannot be: the size holds for this run either way.
    sizes_.Write(settings::ContractSizesPath(common::UserConfigFolder()));
    FillExposure();
}

void VolatilityTab::FillTerm(const std::vector<TermEntry>& given) {
    std::vector<TermEntry> entries = given;
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TermEntry& a, const TermEntry& b) { return a.days < b.days; });
    std::vector<double> x;
    SeriesChart::Series atm{Text(text::kAtmVol), QColor(0x1F, 0x5F, 0xBF), {}};
    SeriesChart::Series rr{QStringLiteral("RR25"), QColor(0xBF, 0x1F, 0x1F), {}};
    SeriesChart::Series bf{QStringLiteral("BF25"), QColor(0x22, 0x88, 0x22), {}};
    for (const TermEntry& entry : entries) {
        x.push_back(static_cast<double>(entry.days));
        atm.values.push_back(entry.atm);
        rr.values.push_back(entry.rr25);
        bf.values.push_back(entry.bf25);
    }
    term_->SetData(std::move(x), {{Text(text::kTermStructure), {atm}}, {QString(), {rr, bf}}},
                   AxisUnit::kDays);
}

void VolatilityTab::FillTable() {
    std::vector<std::pair<QString, QString>> rows;
    if (!fault_.empty()) {
        // A failed read is no contract without volatility.
        rows.emplace_back(Text(text::kNoVolatility), QString::fromStdString(fault_));
    } else if (!figures_ || figures_->status != analytics::VolatilityStatus::kReady) {
        rows.emplace_back(Text(text::kNoVolatility), QString());
    } else {
        const analytics::ContractVolatility& f = *figures_;
        rows.emplace_back(Text(text::kForwardF), Shown(f.forward));
        rows.emplace_back(Text(text::kDiscountD), Number(f.discount, 6));
        rows.emplace_back(Text(text::kDaysToExpiryHeading), QString::number(f.days));
        rows.emplace_back(Text(text::kAtmVol), Optional(f.atm_vol));
        rows.emplace_back(Text(text::kRiskReversal25), Optional(f.rr25));
        rows.emplace_back(Text(text::kButterfly25), Optional(f.bf25));
        rows.emplace_back(Text(text::kExpectedMove),
                          f.expected_move ? Number(*f.expected_move, 4) : QStringLiteral("-"));
        if (f.expected_move) {
            QStringList bands;
            for (const double band : f.bands) {
                bands << Shown(band);
            }
            rows.emplace_back(Text(text::kBands), bands.join(QStringLiteral("  ")));
        }
        const analytics::MissingVolCounts missing = analytics::CountMissing(f);
        rows.emplace_back(Text(text::kNoVolNoPremium), QString::number(missing.no_premium));
        rows.emplace_back(Text(text::kNoVolIntrinsic),
                          QString::number(missing.not_above_intrinsic));
        rows.emplace_back(Text(text::kNoVolNoFit), QString::number(missing.no_fit));
        rows.emplace_back(Text(text::kNoVolNoRow), QString::number(missing.no_row));
    }
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const auto& [name, value] = rows[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(name));
        auto* item = new QTableWidgetItem(value);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 1, item);
    }
    table_->resizeColumnToContents(0);
}

QString VolatilityTab::PointText(int point) const {
    if (!figures_ || point < 0 || static_cast<std::size_t>(point) >= figures_->points.size()) {
        return {};
    }
    const analytics::VolatilityPoint& p = figures_->points[static_cast<std::size_t>(point)];
    QString out = Text(text::kStrike) + QStringLiteral(": ") + Number(p.quote.strike, 4);
    const auto side = [&](common::Side option, const analytics::ChainSide& quote,
                          const analytics::SideVolatility& vol) {
        if (!quote.present) {
            return;
        }
        out += QStringLiteral("\n") + SideCaption(option) + QStringLiteral(": ") +
               Text(text::kPrice) + QStringLiteral(" ") + QString::number(quote.price, 'g', 10) +
               QStringLiteral(", IV ") + Optional(vol.vol);
        if (vol.greeks) {
            out += QStringLiteral(", ") + Text(text::kModelDelta) + QStringLiteral(" ") +
                   Number(vol.greeks->delta, 3);
        }
        out += QStringLiteral(", ") + Text(text::kReportDelta) + QStringLiteral(" ") +
               Number(quote.report_delta, 3);
    };
    side(common::Side::kCall, p.quote.call, p.call);
    side(common::Side::kPut, p.quote.put, p.put);
    if (p.smile_vol) {
        out += QStringLiteral("\n") + Text(text::kSmile) + QStringLiteral(": ") +
               Percent(*p.smile_vol);
    }
    return out;
}

void VolatilityTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The two pages' bar on top. This day: smile and density above; term structure, the
    // dealers' gamma (with the contract size under it) and the table below.
    const int bar = pages_->sizeHint().height();
    pages_->setGeometry(2, 0, pages_->sizeHint().width(), bar);
    memory_->setGeometry(0, bar, width(), height() - bar);
    const int page = height() - bar;
    const int smile_height = page * 52 / 100;
    const int half = width() / 2;
    smile_->setGeometry(2, bar + 2, half - 4, smile_height - 4);
    density_->setGeometry(half, bar + 2, width() - half - 2, smile_height - 4);
    const int third = width() * 3 / 10;
    const int wide = width() * 4 / 10;
    const int lower = page - smile_height - 2;
    const int size_row = 24;
    term_->setGeometry(2, bar + smile_height, third - 4, lower);
    exposure_->setGeometry(third, bar + smile_height, wide - 4, lower - size_row);
    size_label_->setGeometry(third, height() - size_row, wide / 2 - 4, size_row - 2);
    size_->setGeometry(third + wide / 2, height() - size_row, wide / 2 - 4, size_row - 2);
    table_->setGeometry(third + wide, bar + smile_height, width() - third - wide - 2, lower);
}

}  // namespace zarvex::ui
