#include "ui/history/history_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

#include "analytics/day/figure_catalogue.h"
#include "analytics/history/history_table.h"
#include "common/date.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "settings/settings.h"
#include "storage/store.h"
#include "ui/database_file.h"
#include "ui/history/chart_context_menu.h"
#include "ui/history/history_chart.h"
#include "ui/history/table_export.h"
#include "ui/shown_number.h"
#include "ui/volatility/series_chart.h"

namespace zarvex::ui {
namespace {

namespace text = common::text;

// The caption of a history column, -1 for the columns the table keeps out of sight.
int ColumnCaption(analytics::FigureId figure) {
    const analytics::FigureEntry& entry = analytics::Figure(figure);
    return entry.In(analytics::figure_output::kHistoryTable) ? entry.caption : -1;
}

const std::vector<analytics::FigureId>& Columns() {
    return analytics::FiguresIn(analytics::figure_output::kHistory);
}

// Sorts by the number behind the text (the date's day number, a value) where it has one.
class SortedItem final : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(Qt::UserRole);
        const QVariant b = other.data(Qt::UserRole);
        if (a.isValid() && b.isValid()) {
            return a.toDouble() < b.toDouble();
        }
        if (a.isValid() != b.isValid()) {
            return b.isValid();  // empty cells last
        }
        return text() < other.text();
    }
};

}  // namespace

HistoryTab::HistoryTab(QWidget* parent, const common::TextTable& texts,
                       const storage::Database& quote, common::ProgramFolder folder,
                       common::Host host)
    : QWidget(parent), texts_(texts), quote_(&quote), folder_(std::move(folder)), host_(host) {
    chart_ = new HistoryChart(this);
    vol_chart_ = new SeriesChart(this);
    vol_chart_->setObjectName(QStringLiteral("historyVolatility"));
    chart_->setObjectName(QStringLiteral("historyChart"));
    const QString evening = QStringLiteral(" (") + Text(text::kLevelAsOf) + QStringLiteral(")");
    chart_->SetCaptions({Text(text::kCallLevel) + evening, Text(text::kPutLevel) + evening,
                         Text(text::kUpperBorder), Text(text::kBottomBorder),
                         Text(text::kUpperLimit), Text(text::kBottomLimit),
                         Text(text::kDeltaBalance), Text(text::kMaxPain), Text(text::kRatioByOi),
                         Text(text::kRatioByVolume), Text(text::kCallOi), Text(text::kPutOi)});
    chart_->SetToolTipText([this](int day) { return DayText(day); });
    connect(chart_, &HistoryChart::DayClicked, this, [this](int day) {
        emit DayPicked(history_.days.at(static_cast<std::size_t>(day)).day);
    });
    AddPictureMenu(
        chart_, texts_, [this](qreal ratio) { return chart_->Render(ratio); },
        [this] { return DefaultName(QStringLiteral("history"), QStringLiteral("png")); });

    const auto& columns = Columns();
    table_ = new QTableWidget(0, static_cast<int>(columns.size()), this);
    table_->setObjectName(QStringLiteral("historyTable"));
    QStringList headers;
    for (const analytics::FigureId figure : columns) {
        const std::string_view key = analytics::Figure(figure).key;
        const int entry = ColumnCaption(figure);
        headers << (entry < 0 ? QString::fromUtf8(key.data(), static_cast<int>(key.size()))
                              : Text(entry));
    }
    table_->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        table_->setColumnHidden(c, ColumnCaption(columns[static_cast<std::size_t>(c)]) < 0);
    }
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(17);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (const QTableWidgetItem* item = table_->item(row, 0)) {
            emit DayPicked(item->data(Qt::UserRole).toLongLong());
        }
    });
    // The arrow keys and Page Up/Down walk the days: the row the keys reach is shown. Rows
    // the program selects itself come with the table's signals blocked.
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous_row, int) {
                if (row == previous_row || row < 0) {
                    return;
                }
                if (const QTableWidgetItem* item = table_->item(row, 0)) {
                    emit DayPicked(item->data(Qt::UserRole).toLongLong());
                }
            });
    AddTableMenu(
        table_, texts_,
        [this] { return DefaultName(QStringLiteral("history"), QStringLiteral("csv")); },
        [this] { return analytics::HistoryCsv(history_); });
    busy_ = new QLabel(Text(text::kComputing), this);
    busy_->setObjectName(QStringLiteral("historyBusy"));
    busy_->setAutoFillBackground(true);
    busy_->hide();
    connect(&work_, &BackgroundWork::BusyChanged, this, [this](bool busy) {
        busy_->adjustSize();
        busy_->move(8, 6);
        busy_->setVisible(busy);
        busy_->raise();
    });
}

QString HistoryTab::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

void HistoryTab::Follow(const analytics::HistoryRequest& request, const std::string& shown_date) {
    wanted_ = request;
    shown_date_ = shown_date;
    if (isVisible()) {
        Refresh();
    }
}

void HistoryTab::Refresh() {
    const analytics::AnalysisInput& held = held_.input;
    const analytics::AnalysisInput& wanted = wanted_.input;
    const bool same = has_history_ && held.symbol == wanted.symbol &&
                      held.contract == wanted.contract && held_price_type_ == wanted.PriceType() &&
                      held_fp_switch_ == wanted.ForwardPointSwitch();
    bool shown_held = false;
    for (const analytics::HistoryDay& day : history_.days) {
        shown_held = shown_held || common::DayText(day.day) == shown_date_;
    }
    // A day the history does not hold yet (one just processed) means the days have changed;
    // unless the history that is being computed is the wanted one, which may hold it.
    if (!same || (!shown_held && !shown_date_.empty() && !work_.Busy())) {
        Load();
    }
    MarkShownDay();
}

void HistoryTab::Load() {
    held_ = wanted_;
    held_price_type_ = wanted_.input.PriceType();
    held_fp_switch_ = wanted_.input.ForwardPointSwitch();
    has_history_ = true;
    const analytics::AnalysisInput& input = wanted_.input;
    if (input.contract.empty()) {
        work_.Drop();
        history_ = analytics::ContractHistory{input.symbol, input.contract, {}};
        ShowHistory();
        return;
    }
    // The worker reads copies: the settings dialog may change the instrument's meanwhile.
    auto settings = std::make_shared<const settings::Settings>(input.Settings());
    common::Host quiet;
    quiet.texts = host_.texts;
    work_.Start<common::Result<analytics::ContractHistory>>(
        [file = DatabaseFile(*quote_), folder = folder_, request = wanted_, settings, quiet] {
            analytics::HistoryRequest own = request;
            own.input = analytics::AnalysisInput(*settings, request.input.symbol,
                                                 request.input.contract, request.input.day);
            const storage::Database db = storage::Database::OpenReadOnlyForScan(file);
            return analytics::LoadContractHistory(db, folder, own, quiet);
        },
        [this, symbol = input.symbol](common::Result<analytics::ContractHistory>& loaded) {
            if (loaded) {
                history_ = std::move(loaded).Value();
            } else {
                // An empty history would read as a contract without days.
                history_ = analytics::ContractHistory{symbol, wanted_.input.contract, {}};
                host_.ShowStatus(storage::QuotePath(folder_, symbol).string() +
                                 host_.Text(common::text::kFileCannotBeRead) + loaded.Reason());
            }
            ShowHistory();
            MarkShownDay();
        });
}

void HistoryTab::ShowHistory() {
    chart_->SetData(MakeHistoryChartData(history_));
    FillVolatilityChart();
    FillTable();
}

std::vector<std::string> HistoryTab::ShownCells(const analytics::HistoryDay& day) {
    std::vector<std::string> cells = analytics::HistoryRowCells(day);
    // One number, one way of writing it: the forward point as the field above the panel
    // writes it, the max pain strike with the decimals of max pain. Saved files keep the
    // command line's texts.
    const auto& columns = Columns();
    for (std::size_t c = 0; c < cells.size() && c < columns.size(); ++c) {
        const std::string_view key = analytics::Figure(columns[c]).key;
        if (key == "forward_point") {
            cells[c] = ShownForwardPoint(day.forward_point).toStdString();
        } else if (key == "max_pain_strike" && day.max_pain_strike != 0.0) {
            cells[c] = WrittenLike(day.max_pain_strike, day.max_pain.Text());
        }
    }
    return cells;
}

void HistoryTab::FillTable() {
    // Filling moves the current cell: that is no day picked.
    const QSignalBlocker blocker(table_);
    table_->setSortingEnabled(false);
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(history_.days.size()));
    for (int row = 0; row < static_cast<int>(history_.days.size()); ++row) {
        const analytics::HistoryDay& day = history_.days[static_cast<std::size_t>(row)];
        const std::vector<std::string> cells = ShownCells(day);
        const std::vector<std::optional<double>> numbers = analytics::HistoryRowNumbers(day);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            const auto column = static_cast<std::size_t>(c);
            auto* item = new SortedItem(QString::fromStdString(cells[column]));
            if (c == 0) {
                item->setData(Qt::UserRole, static_cast<qlonglong>(day.day));
            } else if (column < numbers.size() && numbers[column]) {
                item->setData(Qt::UserRole, *numbers[column]);
            }
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
}

void HistoryTab::MarkShownDay() {
    shown_index_ = -1;
    for (std::size_t i = 0; i < history_.days.size(); ++i) {
        if (common::DayText(history_.days[i].day) == shown_date_) {
            shown_index_ = static_cast<int>(i);
        }
    }
    chart_->SetShownDay(shown_index_);
    FillVolatilityChart();
    const QSignalBlocker blocker(table_);
    table_->clearSelection();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* item = table_->item(row, 0);
        if (item != nullptr && item->text().toStdString() == shown_date_) {
            table_->selectRow(row);
            table_->scrollToItem(item);
        }
    }
}

QString HistoryTab::DayText(int index) const {
    if (index < 0 || index >= static_cast<int>(history_.days.size())) {
        return {};
    }
    const auto& columns = Columns();
    const std::vector<std::string> cells =
        ShownCells(history_.days[static_cast<std::size_t>(index)]);
    QString out = QString::fromStdString(cells.front());
    for (std::size_t c = 1; c < cells.size() && c < columns.size(); ++c) {
        const int entry = ColumnCaption(columns[c]);
        if (entry >= 0 && !cells[c].empty()) {
            out += QLatin1Char('\n') + Text(entry) + QStringLiteral(": ") +
                   QString::fromStdString(cells[c]);
        }
    }
    // The chart draws the levels of each evening; the table keeps the panel's reading of today.
    const analytics::HistoryDay& day = history_.days[static_cast<std::size_t>(index)];
    const QString evening = QStringLiteral(" (") + Text(text::kLevelAsOf) + QStringLiteral("): ");
    out += QLatin1Char('\n') + Text(text::kCallLevel) + evening +
           QString::fromStdString(day.call_level_as_of.Text());
    out += QLatin1Char('\n') + Text(text::kPutLevel) + evening +
           QString::fromStdString(day.put_level_as_of.Text());
    return out;
}

QString HistoryTab::DefaultName(const QString& what, const QString& extension) const {
    return ui::DefaultFileName(QString::fromStdString(wanted_.input.symbol),
                               QString::fromStdString(wanted_.input.contract),
                               QString::fromStdString(shown_date_), what, extension);
}

bool HistoryTab::SaveCsv(const QString& path) const {
    return WriteWholeFile(path, QByteArray::fromStdString(analytics::HistoryCsv(history_)));
}

void HistoryTab::FillVolatilityChart() {
    std::vector<double> x;
    SeriesChart::Series atm{Text(common::text::kAtmVol), QColor(0x1F, 0x5F, 0xBF), {}};
    SeriesChart::Series rr{QStringLiteral("RR25"), QColor(0xBF, 0x1F, 0x1F), {}};
    SeriesChart::Series bf{QStringLiteral("BF25"), QColor(0x22, 0x88, 0x22), {}};
    for (std::size_t i = 0; i < history_.days.size(); ++i) {
        const analytics::HistoryDay& day = history_.days[i];
        x.push_back(static_cast<double>(i));
        atm.values.push_back(day.atm_vol);
        rr.values.push_back(day.rr25);
        bf.values.push_back(day.bf25);
    }
    // Days are categories, as in the chart above: the axis names them.
    std::vector<std::string> dates;
    for (const analytics::HistoryDay& day : history_.days) {
        dates.push_back(common::DayText(day.day).substr(0, 5));
    }
    vol_chart_->SetData(
        std::move(x), {{Text(common::text::kVolatility), {atm}}, {QString(), {rr, bf}}},
        AxisUnit::kCount,
        [dates](double index) {
            const auto i = static_cast<std::size_t>(std::llround(index));
            return index >= 0 && i < dates.size() ? dates[i] : std::string();
        },
        shown_index_);
}

void HistoryTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int chart_height = height() * 46 / 100;
    const int vol_height = height() * 24 / 100;
    chart_->setGeometry(2, 2, width() - 4, chart_height - 4);
    vol_chart_->setGeometry(2, chart_height, width() - 4, vol_height - 2);
    table_->setGeometry(2, chart_height + vol_height, width() - 4,
                        height() - chart_height - vol_height - 2);
}

void HistoryTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

}  // namespace zarvex::ui
