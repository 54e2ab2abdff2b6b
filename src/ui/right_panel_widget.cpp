#include "ui/right_panel_widget.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "analytics/history/contract_days.h"
#include "analytics/right_panel/right_panel_texts.h"
#include "analytics/volatility/shown_prices.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "storage/store.h"
#include "ui/chart/font_chain.h"
#include "ui/control_number.h"
#include "ui/histogram_chart.h"
#include "ui/history/chart_context_menu.h"
#include "ui/history/compare_control.h"
#include "ui/history/compare_overlay.h"
#include "ui/history/history_tab.h"
#include "ui/history/table_export.h"
#include "ui/scorecard/scorecard_view.h"
#include "ui/shown_number.h"
#include "ui/side_caption.h"
#include "ui/volatility/volatility_tab.h"

namespace zarvex::ui {
namespace {

namespace text = common::text;

struct ColumnRule {
    int caption_entry;  // -1: "+/-", the same in every language
    double percent;
    int minimum;
};

constexpr std::array<ColumnRule, 8> kColumns{{{text::kStrike, 10.821, 52},
                                              {text::kPrice, 12.103, 52},
                                              {text::kDelta, 12.103, 52},
                                              {text::kColumnVolume, 13.385, 48},
                                              {text::kColumnOi, 15.949, 56},
                                              {text::kColumnOiChange, 15.949, 56},
                                              {-1, 6.333, 26},
                                              {text::kColumnPriceOi, 14.0, 48}}};

// Width a column needs so that neither its caption nor any of its cells is cut: a text
// stands between the style's margins, and a cell's grid line takes its last pixel.
int ContentWidth(const QTableWidget* table, int column) {
    const QHeaderView* header = table->horizontalHeader();
    int widest = 0;
    if (const QTableWidgetItem* caption = table->horizontalHeaderItem(column)) {
        widest = static_cast<int>(
                     std::ceil(QFontMetricsF(header->font()).horizontalAdvance(caption->text()))) +
                 2 * (header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 1);
    }
    // Text widths are fractional: rounded to the nearest pixel a cell could be a pixel short.
    const QFontMetricsF metrics(table->font());
    const int margins =
        2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) +
        (table->showGrid() ? 1 : 0);
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const QTableWidgetItem* item = table->item(row, column)) {
            const auto text = static_cast<int>(std::ceil(metrics.horizontalAdvance(item->text())));
            widest = std::max(widest, text + margins);
        }
    }
    return widest;
}

}  // namespace

std::array<int, 8> FitOptionColumns(const std::array<int, 8>& needed, int table_width) {
    std::array<int, 8> widths{};
    int grown = 0;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        const int rule = OptionColumnWidth(static_cast<int>(k) + 1, table_width);
        widths[k] = std::max(rule, needed[k]);
        grown += widths[k] - rule;
    }
    // What the narrow columns grew by comes back from the columns with room to spare, the
    // roomiest first, so that the table keeps its width where it can.
    while (grown > 0) {
        std::size_t roomiest = 0;
        int room = 0;
        for (std::size_t k = 0; k < widths.size(); ++k) {
            if (widths[k] - needed[k] > room) {
                room = widths[k] - needed[k];
                roomiest = k;
            }
        }
        if (room == 0) {
            break;
        }
        const int taken = std::min({grown, room, std::max(1, room / 2)});
        widths[roomiest] -= taken;
        grown -= taken;
    }
    return widths;
}

int OptionColumnWidth(int column, int table_width) {
    const ColumnRule& rule = kColumns.at(static_cast<std::size_t>(column - 1));
    const int width = static_cast<int>((table_width - 26) / 100.0 * rule.percent);
    return std::max(width, rule.minimum);
}

RightPanelWidget::RightPanelWidget(QWidget* parent, int control_number, int x, int y, int w, int h,
                                   const common::TextTable& texts, const storage::Database& quote,
                                   common::ProgramFolder folder, common::Host host)
    : QWidget(parent),
      texts_(texts),
      host_(host),
      model_(std::make_unique<analytics::RightPanelModel>(quote, folder, host)),
      overlay_(std::make_unique<CompareOverlay>(quote, folder, host)),
      quote_(&quote),
      folder_(folder) {
    SetControlNumber(this, control_number);
    w = std::max(w, kMinWidth);
    h = std::max(h, kMinHeight);
    setGeometry(x, y, w, h);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setGeometry(0, 0, w, h);
    auto* histograms_page = new QWidget;
    auto* data_page = new QWidget;
    tabs_->addTab(histograms_page, QString::fromStdString(texts_.Get(text::kHistograms)));
    tabs_->addTab(data_page, QString::fromStdString(texts_.Get(text::kData)));
    history_ = new HistoryTab(nullptr, texts_, quote, folder, host);
    tabs_->addTab(history_, QString::fromStdString(texts_.Get(text::kHistory)));
    connect(history_, &HistoryTab::DayPicked, this, &RightPanelWidget::DayPicked);
    volatility_ = new VolatilityTab(nullptr, texts_, quote, folder);
    tabs_->addTab(volatility_, QString::fromStdString(texts_.Get(text::kVolatility)));
    scorecard_ = new ScorecardView(nullptr, texts_);
    tabs_->addTab(scorecard_, QString::fromStdString(texts_.Get(text::kScorecard)));
    bands_ = new QAction(QString::fromStdString(texts_.Get(text::kShowBands)), this);
    bands_->setCheckable(true);
    bands_->setChecked(true);
    connect(bands_, &QAction::toggled, this, &RightPanelWidget::RedrawCharts);

    const HistogramColours colours;
    for (int n = 1; n <= 4; ++n) {
        auto* caption = new QLabel(histograms_page);
        caption->setAlignment(Qt::AlignCenter);
        captions_[static_cast<std::size_t>(n - 1)] = caption;
    }
    for (int n = 1; n <= 4; ++n) {
        auto* chart = new HistogramChart(histograms_page, colours);
        SetControlNumber(chart, control_number + kChartOffsets[static_cast<std::size_t>(n - 1)]);
        charts_[static_cast<std::size_t>(n - 1)] = chart;
        chart->SetToolTipText([this, n](int position) { return BarText(n, position); });
        chart->SetLineToolTipText([this, n](int line) { return LineText(n, line); });
        AddPictureMenu(
            chart, texts_, [chart](qreal ratio) { return chart->Render(ratio); },
            [this, n] { return DefaultName(QStringLiteral("H%1").arg(n), QStringLiteral("png")); },
            [this](QMenu& menu) {
                QAction* lines =
                    menu.addAction(QString::fromStdString(texts_.Get(text::kKeyPriceLines)));
                lines->setCheckable(true);
                lines->setChecked(key_lines_shown_);
                connect(lines, &QAction::toggled, this, [this](bool shown) {
                    SetKeyPriceLinesShown(shown);
                    emit KeyPriceLinesSwitched(shown);
                });
                menu.addAction(bands_);
                QAction* density =
                    menu.addAction(QString::fromStdString(texts_.Get(text::kSettlementDensity)));
                density->setCheckable(true);
                density->setChecked(density_shown_);
                connect(density, &QAction::toggled, this, [this](bool shown) {
                    SetDensityShown(shown);
                    emit DensitySwitched(shown);
                });
            });
    }

    call_caption_ = new QLabel(SideCaption(common::Side::kCall), data_page);
    put_caption_ = new QLabel(SideCaption(common::Side::kPut), data_page);
    call_caption_->setAlignment(Qt::AlignCenter);
    put_caption_->setAlignment(Qt::AlignCenter);
    // Nine columns of the report's figures, then the model's: IV, delta, gamma, vega, theta.
    call_table_ = new QTableWidget(0, 14, data_page);
    put_table_ = new QTableWidget(0, 14, data_page);
    call_table_->setObjectName(QStringLiteral("callTable"));
    put_table_->setObjectName(QStringLiteral("putTable"));
    for (QTableWidget* table : {call_table_, put_table_}) {
        QStringList headers{QString()};
        for (const ColumnRule& rule : kColumns) {
            headers << (rule.caption_entry < 0
                            ? QStringLiteral("+/-")
                            : QString::fromStdString(texts_.Get(rule.caption_entry)));
        }
        for (const int entry :
             {text::kImpliedVol, text::kModelDelta, text::kGamma, text::kVega, text::kTheta}) {
            headers << QString::fromStdString(texts_.Get(entry));
        }
        table->setHorizontalHeaderLabels(headers);
        table->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->verticalHeader()->hide();
        table->verticalHeader()->setMinimumSectionSize(1);
        table->verticalHeader()->setDefaultSectionSize(17);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        const QString what = table == call_table_ ? QStringLiteral("call") : QStringLiteral("put");
        AddTableMenu(table, texts_,
                     [this, what] { return DefaultName(what, QStringLiteral("csv")); });
    }
    // The build places the CALL side one pixel further right than a re-layout does.
    LayoutPages(3);

    forward_point_ = new QLabel(parent);
    forward_point_->setObjectName(QStringLiteral("forwardPoint"));
    forward_point_->setGeometry(x + w - 40, 2, 35, 15);
    forward_point_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    forward_point_->setFrameStyle(QFrame::Box | QFrame::Plain);
    forward_point_->setAutoFillBackground(true);
    QPalette white = forward_point_->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    forward_point_->setPalette(white);
    forward_point_->setText(ShownForwardPoint(model_->ForwardPoint()));
    forward_point_label_ = new QLabel(QStringLiteral("Forward Point:"), parent);
    forward_point_label_->setObjectName(QStringLiteral("forwardPointLabel"));
    // The caption has 75 pixels: a narrow face where the system has one.
    forward_point_label_->setFont(
        MakeFont({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                  QStringLiteral("DejaVu Sans Condensed")},
                 8));
    compare_ = new CompareControl(parent, texts_);
    connect(compare_, &CompareControl::Changed, this, &RightPanelWidget::RedrawCharts);
    connect(compare_, &CompareControl::Changed, this, [this] { FollowVolatility(); });
    PlaceForwardPoint(17);
    forward_point_label_->raise();
    forward_point_->raise();
    compare_->raise();
}

RightPanelWidget::~RightPanelWidget() = default;

void RightPanelWidget::SetTableColumns(QTableWidget* table) {
    table->setColumnWidth(0, 0);
    std::array<int, 8> needed{};
    for (int column = 1; column <= 8; ++column) {
        needed[static_cast<std::size_t>(column - 1)] = ContentWidth(table, column);
    }
    const std::array<int, 8> widths = FitOptionColumns(needed, table->width());
    for (int column = 1; column <= 8; ++column) {
        table->setColumnWidth(column, widths[static_cast<std::size_t>(column - 1)]);
    }
    for (int column = 9; column < table->columnCount(); ++column) {
        table->resizeColumnToContents(column);
    }
}

void RightPanelWidget::FillTable(QTableWidget* table, const analytics::OptionTable& rows) {
    table->setRowCount(0);
    table->setRowCount(static_cast<int>(rows.rows.size()));
    for (int row = 0; row < static_cast<int>(rows.rows.size()); ++row) {
        const analytics::OptionTableRow& cells = rows.rows[static_cast<std::size_t>(row)];
        for (int column = 1; column <= 8; ++column) {
            auto* item = new QTableWidgetItem(
                QString::fromStdString(cells[static_cast<std::size_t>(column - 1)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(row, column, item);
        }
    }
}

void RightPanelWidget::Configure(const analytics::AnalysisInput& input) {
    model_->Configure(input);
    for (int n = 1; n <= 4; ++n) {
        ChartCaption(n)->setText(QString::fromStdString(model_->Caption(n)));
        Chart(n)->ClearData();
        Chart(n)->Update();
    }
    forward_point_->setText(ShownForwardPoint(model_->ForwardPoint()));
    PlaceForwardPoint(forward_point_label_->height());
    // Both live in the instrument's area, so they show and hide with it.
    forward_point_->setVisible(model_->ForwardPointVisible());
    forward_point_label_->setVisible(model_->ForwardPointVisible());
    FillTable(put_table_, model_->Tables().put);
    FillTable(call_table_, model_->Tables().call);
    SetTableColumns(put_table_);
    SetTableColumns(call_table_);
    overlay_->Invalidate();
    FollowCompareDays();
    compare_->setVisible(!input.contract.empty());
    analytics::HistoryRequest request;
    request.input = input;
    history_->Follow(request, ShownDate());
    FollowVolatility();
    FollowSettlement();
    // The symbol's whole record, whichever day and contract are shown: it changes with the
    // stored days and the settings, and is computed off the window's thread.
    scorecard_->Follow(folder_, input.Settings(), input.symbol);
    Draw(1);
    next_histogram_ = 2;
    BuildNextLater();
}

void RightPanelWidget::Draw(int n) {
    const common::ScopedUiLock lock(host_.lock);
    host_.ShowStatus(HistogramStepStartText(host_, analytics::HistogramStep::kDrawing, n));
    std::shared_ptr<const analytics::HistogramData> built = model_->SharedHistogram(n);
    ChartOverlay drawn;
    const std::string other = OtherDate();
    if (!other.empty() && model_->IsBuilt(n)) {
        if (const analytics::CompareArrays* arrays = overlay_->Arrays(*model_, n, other)) {
            drawn.compare_put = arrays->put;
            drawn.compare_call = arrays->call;
            drawn.date = model_->Day().date;
            drawn.compare_date = arrays->date;
        }
    }
    const settings::HistogramSettings& histogram = model_->HistogramSettingsOf(n);
    if (built && !built->axis.empty()) {
        // Which rows the bars stand for, in one short line.
        const std::string condition(common::Trim(histogram.bar_cond));
        if (built->rows_failed) {
            // Empty bars must not read as a day without open interest.
            drawn.notes.push_back(texts_.Get(text::kBarsNotRead) + built->rows_error);
        } else if (!condition.empty()) {
            drawn.notes.push_back(texts_.Get(text::kBarsShown) + condition);
        }
        if (key_lines_shown_ && key_prices_.price_type) {
            if (*key_prices_.price_type == common::PriceTypeFromCode(histogram.market_type)) {
                drawn.price_lines = key_prices_.lines;
            } else {
                drawn.notes.push_back(texts_.Get(text::kKeyPricesNotDrawn));
            }
        }
    }
    if (bands_->isChecked()) {
        drawn.bands = BandPrices(n);
    }
    // Drawn where the chart's prices are the left panel's, as the panel quotes its levels.
    if (density_shown_ && settlement_ && built && !built->axis.empty() &&
        common::PriceTypeFromCode(histogram.market_type) == settlement_->axis.price_type) {
        drawn.density = settlement_->density;
        drawn.density_name = texts_.Get(text::kSettlementDensity);
    }
    Chart(n)->SetData(std::move(built), std::move(drawn));
    Chart(n)->Update();
    host_.ShowStatus(HistogramStepEndText(host_, analytics::HistogramStep::kDrawing, n));
}

std::string RightPanelWidget::OtherDate() const {
    if (!compare_->IsOn()) {
        return {};
    }
    const common::Date shown = common::ParseDate(model_->Day().date, "%dd.%mm.%yyyy");
    const common::Date other = compare_->OtherDay(shown);
    return other == common::kInvalidDate ? std::string() : common::DayText(other);
}

void RightPanelWidget::FollowCompareDays() {
    const std::string& contract = model_->Input().contract;
    const common::Date shown = model_->Input().day;
    // The days of the contract change with the contract and when a day is added.
    if (contract != days_contract_ ||
        std::find(contract_days_.begin(), contract_days_.end(), shown) == contract_days_.end()) {
        days_contract_ = contract;
        contract_days_ = contract.empty() ? std::vector<common::Date>{}
                                          : analytics::ContractDays(*quote_, contract);
    }
    compare_->SetDays(contract_days_, shown);
}

void RightPanelWidget::SetKeyPriceLinesShown(bool shown) {
    if (shown == key_lines_shown_) {
        return;
    }
    key_lines_shown_ = shown;
    RedrawCharts();
}

void RightPanelWidget::SetDensityShown(bool shown) {
    if (shown == density_shown_) {
        return;
    }
    density_shown_ = shown;
    RedrawCharts();
}

void RightPanelWidget::FollowSettlement() {
    settlement_.reset();
    const std::optional<analytics::ContractVolatility>& figures = volatility_->Figures();
    if (!figures) {
        settlement_work_.Drop();
        return;
    }
    const analytics::AnalysisInput& input = model_->Input();
    settlement_work_.Start<analytics::SettlementOnAxis>(
        [figures = *figures,
         axis = analytics::AxisQuotation{input.symbol, model_->ForwardPoint(), input.PriceType()}] {
            return analytics::ComputeSettlementOnAxis(figures, axis);
        },
        [this](analytics::SettlementOnAxis& computed) {
            settlement_ = std::move(computed);
            RedrawCharts();
        });
}

void RightPanelWidget::FollowVolatility() {
    const analytics::AnalysisInput& input = model_->Input();
    volatility_->Follow({input.symbol, ShownDate(), input.contract, input.PriceType(),
                         model_->ForwardPoint(), OtherDate()});
    FillModelColumns(put_table_, model_->Tables().put, false);
    FillModelColumns(call_table_, model_->Tables().call, true);
    SetTableColumns(put_table_);
    SetTableColumns(call_table_);
}

void RightPanelWidget::FillModelColumns(QTableWidget* table, const analytics::OptionTable& rows,
                                        bool call) {
    // The tables write strikes with five decimals; the figures are found by that strike.
    std::map<std::int64_t, const analytics::VolatilityPoint*> points;
    if (const auto& figures = volatility_->Figures()) {
        for (const analytics::VolatilityPoint& point : figures->points) {
            points.emplace(std::llround(point.quote.strike * 1e5), &point);
        }
    }
    for (int row = 0; row < table->rowCount() && row < static_cast<int>(rows.rows.size()); ++row) {
        QStringList cells;
        const auto strike = common::ParseDouble(rows.rows[static_cast<std::size_t>(row)][0]);
        const auto found = strike ? points.find(std::llround(*strike * 1e5)) : points.end();
        if (found != points.end()) {
            const analytics::SideVolatility& side = call ? found->second->call : found->second->put;
            if (side.vol) {
                cells << QString::number(*side.vol * 100.0, 'f', 2);
            } else {
                cells << QString::fromStdString(
                    std::string(analytics::NoVolReasonKey(side.reason)));
            }
            if (side.greeks) {
                cells << QString::number(side.greeks->delta, 'f', 4)
                      << QString::number(side.greeks->gamma, 'g', 5)
                      << QString::number(side.greeks->vega, 'g', 5)
                      << QString::number(side.greeks->theta, 'g', 5);
            }
        }
        for (int column = 9; column < table->columnCount(); ++column) {
            const int k = column - 9;
            auto* item = new QTableWidgetItem(k < cells.size() ? cells[k] : QString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(row, column, item);
        }
    }
}

std::vector<double> RightPanelWidget::BandPrices(int n) const {
    const auto& figures = volatility_->Figures();
    if (!figures || !figures->expected_move || n < 1 || n > 4) {
        return {};
    }
    const common::PriceType price_type =
        common::PriceTypeFromCode(model_->HistogramSettingsOf(n).market_type);
    std::vector<double> prices;
    for (const double band : figures->bands) {
        const auto shown = common::ParseDouble(analytics::ShownPrice(
            band, model_->Input().symbol, model_->ForwardPoint(), price_type));
        if (!shown || *shown == 0.0) {
            return {};
        }
        prices.push_back(*shown);
    }
    return prices;
}

void RightPanelWidget::RedrawCharts() {
    for (int n = 1; n <= 4; ++n) {
        if (model_->IsBuilt(n)) {
            Draw(n);
        }
    }
}

QString RightPanelWidget::BarText(int n, int position) const {
    if (n < 1 || n > analytics::kHistogramCount) {
        return {};
    }
    // What the chart draws, so that the text always matches the bar under the pointer.
    const analytics::HistogramData& histogram = Chart(n)->Data();
    const auto i = static_cast<std::size_t>(position);
    if (position < 0 || i >= histogram.axis.size()) {
        return {};
    }
    auto at = [i](const std::vector<double>& values) {
        return i < values.size() ? values[i] : 0.0;
    };
    auto number = [](double value) { return QString::fromStdString(common::FormatShort(value)); };
    auto text = [this](int entry) { return QString::fromStdString(texts_.Get(entry)); };
    const ChartOverlay& drawn = Chart(n)->Overlay();
    QString out = text(text::kShownPrice) + QStringLiteral(": ") + number(histogram.axis[i]);
    // A bar names the rows that make it: under Futures and Forex a price bin may gather
    // several strikes, each at its own premium.
    auto side = [&](common::Side option, const std::vector<double>& values,
                    const std::vector<analytics::BarSource>& sources) {
        std::vector<const analytics::BarSource*> here;
        for (const analytics::BarSource& source : sources) {
            if (source.position == i) {
                here.push_back(&source);
            }
        }
        out +=
            QStringLiteral("\n") + SideCaption(option) + QStringLiteral(": ") + number(at(values));
        for (const analytics::BarSource* source : here) {
            out += QStringLiteral("\n   ") + text(text::kStrike) + QStringLiteral(" ") +
                   number(source->strike) + QStringLiteral(", ") + text(text::kPremium) +
                   QStringLiteral(" ") + number(source->premium);
            if (here.size() > 1) {
                out += QStringLiteral(" (") + number(source->value) + QStringLiteral(")");
            }
        }
    };
    side(common::Side::kPut, histogram.put, histogram.put_sources);
    side(common::Side::kCall, histogram.call, histogram.call_sources);
    if (!drawn.compare_date.empty()) {
        const double put = at(drawn.compare_put);
        const double call = at(drawn.compare_call);
        auto signed_number = [&number](double value) {
            return (value > 0 ? QStringLiteral("+") : QString()) + number(value);
        };
        out += QStringLiteral("\n") + QString::fromStdString(drawn.compare_date) +
               QStringLiteral(": PUT ") + number(put) + QStringLiteral(", CALL ") + number(call);
        out += QStringLiteral("\n") + text(text::kChange) + QStringLiteral(": PUT ") +
               signed_number(at(histogram.put) - put) + QStringLiteral(", CALL ") +
               signed_number(at(histogram.call) - call);
    }
    // Last, so that a bar's own and the compared day's lines read the same with and without.
    return out + ChanceLines(n, histogram.axis[i]);
}

QString RightPanelWidget::ChanceLines(int n, double shown_price) const {
    if (!settlement_ || n < 1 || n > analytics::kHistogramCount) {
        return {};
    }
    const auto chance = analytics::ChanceAtShownPrice(
        settlement_->probability, shown_price,
        {settlement_->axis.symbol, settlement_->axis.forward_point,
         common::PriceTypeFromCode(model_->HistogramSettingsOf(n).market_type)});
    if (!chance) {
        return {};
    }
    auto percent = [](double value) {
        return QString::number(value * 100.0, 'f', 1) + QStringLiteral("%");
    };
    return QStringLiteral("\n") + QString::fromStdString(texts_.Get(text::kChanceFinishingBeyond)) +
           percent(chance->beyond) + QStringLiteral("\n") +
           QString::fromStdString(texts_.Get(text::kChanceTouching)) + percent(chance->touch);
}

QString RightPanelWidget::LineText(int n, int line) const {
    if (n < 1 || n > analytics::kHistogramCount) {
        return {};
    }
    const std::vector<PriceLine>& lines = Chart(n)->Overlay().price_lines;
    if (line < 0 || static_cast<std::size_t>(line) >= lines.size()) {
        return {};
    }
    const PriceLine& shown = lines[static_cast<std::size_t>(line)];
    // The bottom border shares the upper one's name in the legend.
    std::string name = shown.name;
    for (const PriceLine& other : lines) {
        if (name.empty() && other.colour == shown.colour && other.dashed == shown.dashed) {
            name = other.name;
        }
    }
    return QString::fromStdString(name) + QStringLiteral(": ") +
           QString::fromStdString(common::FormatShort(shown.price)) + ChanceLines(n, shown.price);
}

QString RightPanelWidget::DefaultName(const QString& what, const QString& extension) const {
    const analytics::AnalysisInput& input = model_->Input();
    return DefaultFileName(QString::fromStdString(input.symbol),
                           QString::fromStdString(input.contract),
                           QString::fromStdString(ShownDate()), what, extension);
}

std::string RightPanelWidget::ShownDate() const {
    const common::Date day = model_->Input().day;
    return day == common::kInvalidDate ? std::string() : common::DayText(day);
}

void RightPanelWidget::BuildNextLater() {
    if (build_queued_ || !HasPendingHistograms()) {
        return;
    }
    build_queued_ = true;
    QTimer::singleShot(0, this, [this] {
        build_queued_ = false;
        if (!HasPendingHistograms()) {
            return;
        }
        const int n = next_histogram_++;
        model_->BuildHistogram(n);
        Draw(n);
        BuildNextLater();
    });
}

void RightPanelWidget::BuildPendingHistograms() {
    while (HasPendingHistograms()) {
        const int n = next_histogram_++;
        model_->BuildHistogram(n);
        Draw(n);
    }
}

void RightPanelWidget::Relayout(int x, int y, int w, int h) {
    // The panel's own shown state: its window may not be on screen yet.
    const bool was_shown = !isHidden();
    hide();
    setGeometry(x, y, w, h);
    tabs_->setGeometry(0, 0, w, h);
    LayoutPages(2);
    setVisible(was_shown);
    PlaceForwardPoint(15);
}

void RightPanelWidget::PlaceForwardPoint(int label_height) {
    // The field ends 5 pixels before the panel's right edge and is 35 wide, wider to the left
    // when its value needs it; the caption stands just before it.
    const int right = geometry().right() - 4;
    const int width = std::max(35, forward_point_->sizeHint().width());
    forward_point_->setGeometry(right - width, 2, width, 15);
    forward_point_label_->setGeometry(right - width - 75, 3, 75, label_height);
    if (compare_ != nullptr) {
        // The window's help link stands 45 pixels wide just before the caption: keep clear.
        compare_->PlaceEndingAt(right - width - 75 - 60, 0);
    }
}

void RightPanelWidget::LayoutPages(int call_left) {
    const int m = tabs_->width() / 2;
    const int chart_height = tabs_->height() - 47;
    call_caption_->setGeometry(call_left, 4, m - 6, 15);
    put_caption_->setGeometry(m, 4, m - 6, 15);
    call_table_->setGeometry(call_left, 19, m - 6, chart_height);
    put_table_->setGeometry(m, 19, m - 6, chart_height);
    SetTableColumns(call_table_);
    SetTableColumns(put_table_);
    const int q = tabs_->width() / 4;
    const std::array<int, 4> xs{4, q + 2, 2 * q, 3 * q};
    for (std::size_t i = 0; i < 4; ++i) {
        captions_[i]->setGeometry(xs[i], 4, q - 6, 15);
        charts_[i]->setGeometry(xs[i], 19, q - 6, chart_height);
    }
}

}  // namespace zarvex::ui
