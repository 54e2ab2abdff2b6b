#include "ui/left_panel_widget.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTableWidget>
#include <QTextCharFormat>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "common/date.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "ui/control_number.h"
#include "ui/input_blocker.h"
#include "ui/side_caption.h"

namespace zarvex::ui {
namespace {

namespace text = common::text;

constexpr int kRowHeight = 17;

QDate ToQDate(common::Date day) {
    const common::CivilTime civil = common::ToCivil(day);
    return QDate(civil.year, civil.month, civil.day);
}

common::Date FromQDate(QDate day) {
    return common::MakeDate(day.year(), day.month(), day.day());
}

void SetCell(QTableWidget* table, int row, int column, const std::string& value,
             Qt::Alignment alignment) {
    auto* item = table->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(alignment | Qt::AlignVCenter);
        table->setItem(row, column, item);
    }
    item->setText(QString::fromStdString(value));
}

int ListTableHeight(int h) {
    return (h - 363) / 10 * 6;
}

constexpr int kDayButtonWidth = 16;

}  // namespace

LeftPanelWidget::LeftPanelWidget(QWidget* parent, int control_number, int x, int y, int w, int h,
                                 const common::TextTable& texts,
                                 analytics::LeftPanelServices services, InputBlocker* blocker)
    : QWidget(parent), texts_(texts), blocker_(blocker) {
    SetControlNumber(this, control_number);
    w = std::max(w, kMinWidth);
    h = std::max(h, kMinHeight);
    setGeometry(x, y, w, h);

    Caption(text::kDate, {5, 7, 50, 19});
    Caption(text::kContract, {5, 33, 50, 19});
    date_ = new QDateEdit(this);
    date_->setObjectName(QStringLiteral("datePicker"));
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    date_->setCalendarPopup(true);
    date_->setKeyboardTracking(false);
    previous_day_ = new QToolButton(this);
    next_day_ = new QToolButton(this);
    previous_day_->setObjectName(QStringLiteral("previousDay"));
    next_day_->setObjectName(QStringLiteral("nextDay"));
    previous_day_->setArrowType(Qt::LeftArrow);
    next_day_->setArrowType(Qt::RightArrow);
    previous_day_->setToolTip(QString::fromStdString(texts_.Get(text::kPreviousDataDay)));
    next_day_->setToolTip(QString::fromStdString(texts_.Get(text::kNextDataDay)));
    previous_day_->setFocusPolicy(Qt::NoFocus);
    next_day_->setFocusPolicy(Qt::NoFocus);
    connect(previous_day_, &QToolButton::clicked, this, [this] { StepDay(-1); });
    connect(next_day_, &QToolButton::clicked, this, [this] { StepDay(1); });
    // Shortcuts of a hidden instrument's panel are not active: the keys reach the shown one.
    auto* previous_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    auto* next_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    connect(previous_key, &QShortcut::activated, this, [this] { StepDay(-1); });
    connect(next_key, &QShortcut::activated, this, [this] { StepDay(1); });
    PlaceDateField(w);
    contract_ = new QComboBox(this);
    contract_->setObjectName(QStringLiteral("contractList"));
    contract_->setGeometry(70, 30, w - 80, 19);

    tables_[0] =
        MakeRowTable({5, 60, w - 15, 55}, {text::kExpiration, text::kCallLevel, text::kPutLevel});
    Caption(text::kMarketBorders, {5, 120, 200, 19});
    tables_[1] = MakeRowTable(
        {5, 135, w - 15, 125},
        {text::kWidthMarket, text::kDeltaBalance, text::kUpperLimit, text::kUpperBorder,
         text::kChannelCenter, text::kBottomBorder, text::kBottomLimit});
    Caption(text::kRatioPutCall, {5, 265, 200, 19});
    tables_[2] = MakeRowTable({5, 280, w - 15, 55},
                              {text::kByOpenInterest, text::kByVolume, text::kByAveragePrice});
    Caption(text::kSignificantLevels, {5, 338, 200, 18});
    const int yd = 353;
    const int hd = ListTableHeight(h);
    tables_[3] = MakeListTable({5, yd, w - 15, hd});
    fractals_caption_ = Caption(text::kSignificantFractals, {5, yd + hd + 5, 200, 18});
    tables_[4] = MakeListTable({5, yd + hd + 20, w - 15, h - (yd + hd + 20) - 10});
    tables_[3]->setObjectName(QStringLiteral("levelsTable"));
    tables_[4]->setObjectName(QStringLiteral("fractalsTable"));
    for (int i = 0; i < 5; ++i) {
        QTableWidget* table = tables_[static_cast<std::size_t>(i)];
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(table, &QWidget::customContextMenuRequested, this, [this, table, i](QPoint at) {
            QMenu menu(table);
            QAction* copy = menu.addAction(QString::fromStdString(texts_.Get(text::kCopyTable)));
            if (menu.exec(table->viewport()->mapToGlobal(at)) == copy) {
                QApplication::clipboard()->setText(CopyText(i));
            }
        });
    }

    // A day is taken once it is committed, not on every key, wheel tick or day walked over
    // in the calendar: each change of day is a whole calculation and may show a box.
    connect(date_, &QDateEdit::editingFinished, this, [this] { CommitDate(); });
    QCalendarWidget* calendar = date_->calendarWidget();
    for (auto picked : {&QCalendarWidget::clicked, &QCalendarWidget::activated}) {
        // Queued: the popup sets the field and closes first.
        connect(
            calendar, picked, this, [this] { CommitDate(); }, Qt::QueuedConnection);
    }
    connect(contract_, &QComboBox::activated, this, [this](int index) { PickedContract(index); });

    services.view = this;
    model_ = std::make_unique<analytics::LeftPanelModel>(std::move(services));
}

LeftPanelWidget::~LeftPanelWidget() {
    if (panel_locked_ && blocker_ != nullptr) {
        blocker_->Unblock(this);
    }
}

QLabel* LeftPanelWidget::Caption(int entry, QRect place) {
    auto* label = new QLabel(QString::fromStdString(texts_.Get(entry)), this);
    label->setGeometry(place);
    return label;
}

QTableWidget* LeftPanelWidget::MakeRowTable(QRect place, const std::vector<int>& rows) {
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 3, this);
    table->setGeometry(place);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->verticalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setShowGrid(false);
    table->setColumnWidth(0, 0);
    table->setColumnWidth(1, 110);
    table->setColumnWidth(2, place.width() - 120);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        SetCell(table, row, 1, texts_.Get(rows[static_cast<std::size_t>(row)]), Qt::AlignLeft);
    }
    return table;
}

QTableWidget* LeftPanelWidget::MakeListTable(QRect place) {
    auto* table = new QTableWidget(analytics::kPanelTableRows, 3, this);
    table->setGeometry(place);
    table->setHorizontalHeaderLabels(
        {QString(), SideCaption(common::Side::kCall), SideCaption(common::Side::kPut)});
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->horizontalHeader()->setFixedHeight(kRowHeight + 2);
    table->verticalHeader()->hide();
    table->verticalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setShowGrid(false);
    SetListColumns(table);
    return table;
}

void LeftPanelWidget::SetListColumns(QTableWidget* table) {
    table->setColumnWidth(0, 0);
    table->setColumnWidth(1, table->width() / 2 - 13);
    table->setColumnWidth(2, table->width() / 2 - 13);
}

void LeftPanelWidget::Build(const analytics::AnalysisInput& input,
                            const analytics::LeftPanelSetup& setup) {
    model_->Build(input, setup);
    MarkDataDays();
}

void LeftPanelWidget::PlaceDateField(int w) {
    const int field = w - 80 - 2 * kDayButtonWidth;
    date_->setGeometry(70, 5, field, 19);
    previous_day_->setGeometry(70 + field, 5, kDayButtonWidth, 19);
    next_day_->setGeometry(70 + field + kDayButtonWidth, 5, kDayButtonWidth, 19);
}

void LeftPanelWidget::MarkDataDays() {
    data_days_ = model_->DaysWithData();
    QCalendarWidget* calendar = date_->calendarWidget();
    QTextCharFormat grey;
    grey.setForeground(QColor(0xA0, 0xA0, 0xA0));
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        calendar->setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(day), grey);
    }
    calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat held;
    held.setForeground(QColor(0, 0, 0));
    held.setFontWeight(QFont::Bold);
    for (common::Date day : data_days_) {
        calendar->setDateTextFormat(ToQDate(day), held);
    }
    UpdateDayButtons();
}

void LeftPanelWidget::UpdateDayButtons() {
    const common::Date shown = model_->DateValue();
    previous_day_->setEnabled(!data_days_.empty() && data_days_.front() < shown);
    next_day_->setEnabled(!data_days_.empty() && data_days_.back() > shown);
}

void LeftPanelWidget::StepDay(int direction) {
    if (!isEnabled() || panel_locked_ || data_days_.empty()) {
        return;
    }
    const common::Date shown = model_->DateValue();
    common::Date target = common::kInvalidDate;
    if (direction < 0) {
        const auto it = std::lower_bound(data_days_.begin(), data_days_.end(), shown);
        if (it != data_days_.begin()) {
            target = *std::prev(it);
        }
    } else {
        const auto it = std::upper_bound(data_days_.begin(), data_days_.end(), shown);
        if (it != data_days_.end()) {
            target = *it;
        }
    }
    PickDay(target);
}

bool LeftPanelWidget::PickContract(const std::string& contract) {
    const int index = contract_->findText(QString::fromStdString(contract));
    if (index < 0) {
        return false;
    }
    {
        const QSignalBlocker blocker(contract_);
        contract_->setCurrentIndex(index);
    }
    PickedContract(index);
    return true;
}

QString LeftPanelWidget::CopyText(int index) const {
    if (index < 0 || index >= static_cast<int>(tables_.size())) {
        return {};
    }
    const QTableWidget* table = tables_[static_cast<std::size_t>(index)];
    auto cell = [table](int row, int column) {
        const QTableWidgetItem* item = table->item(row, column);
        QString text = item != nullptr ? item->text() : QString();
        return text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    };
    QString out;
    const bool lists = index >= 3;
    if (lists) {
        out = QStringLiteral("CALL\tPUT\n");
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString first = cell(row, 1);
        const QString second = cell(row, 2);
        if (lists && first.isEmpty() && second.isEmpty()) {
            continue;
        }
        out += first + QLatin1Char('\t') + second + QLatin1Char('\n');
    }
    return out;
}

void LeftPanelWidget::Relayout(int x, int y, int w, int h) {
    // The panel's own shown state: its window may not be on screen yet.
    const bool was_shown = !isHidden();
    hide();
    setGeometry(x, y, w, h);
    PlaceDateField(w);
    contract_->resize(w - 80, contract_->height());
    for (int i = 0; i < 3; ++i) {
        tables_[i]->resize(w - 15, tables_[i]->height());
    }
    QTableWidget* levels = tables_[3];
    levels->resize(w - 15, ListTableHeight(h));
    const int bottom = levels->y() + levels->height();
    fractals_caption_->move(5, bottom + 5);
    tables_[4]->setGeometry(5, bottom + 20, w - 15, h - (bottom + 20) - 10);
    ShowGrid(true);
    setVisible(was_shown);
}

void LeftPanelWidget::ShowGrid(bool shown) {
    for (QTableWidget* table : tables_) {
        table->setShowGrid(shown);
    }
}

void LeftPanelWidget::SetPanelEnabled(bool enabled) {
    if (blocker_ == nullptr) {
        setEnabled(enabled);
        return;
    }
    if (!enabled && !panel_locked_) {
        blocker_->Block(this);
        panel_locked_ = true;
    } else if (enabled && panel_locked_) {
        blocker_->Unblock(this);
        panel_locked_ = false;
    }
}

void LeftPanelWidget::ShowDate(common::Date day) {
    const QSignalBlocker blocker(date_);
    if (day != common::kInvalidDate) {
        date_->setDate(ToQDate(day));
    }
    if (model_ != nullptr) {
        MarkDataDays();
    }
}

void LeftPanelWidget::ShowContracts(const std::vector<std::string>& contracts, int selected) {
    const QSignalBlocker blocker(contract_);
    contract_->clear();
    const common::Date shown = model_ != nullptr ? model_->DateValue() : common::kInvalidDate;
    for (const std::string& contract : contracts) {
        contract_->addItem(QString::fromStdString(contract));
        // Which contract is which: its expiration and how far off it is from the shown day.
        const std::string expiration =
            model_ != nullptr ? model_->ExpirationOf(contract) : std::string();
        const common::Date expires = common::ParseDate(expiration, "%dd.%mm.%yyyy");
        if (expires != common::kInvalidDate && shown != common::kInvalidDate) {
            const long long days = (expires - shown) / common::kSecondsPerDay;
            contract_->setItemData(
                contract_->count() - 1,
                QString::fromStdString(texts_.Get(text::kExpiration) + ": " + expiration + ", " +
                                       std::to_string(days) + texts_.Get(text::kDaysToExpiry)),
                Qt::ToolTipRole);
        }
    }
    contract_->setCurrentIndex(selected);
    contract_->setToolTip(contract_->itemData(selected, Qt::ToolTipRole).toString());
}

void LeftPanelWidget::ShowCells(const analytics::LeftPanelCells& cells) {
    const Qt::Alignment right = Qt::AlignRight;
    const std::array<const std::string*, 3> a{&cells.expiration, &cells.call_level,
                                              &cells.put_level};
    const std::array<const std::string*, 7> b{
        &cells.market_width,   &cells.delta_balance, &cells.upper_limit, &cells.upper_border,
        &cells.channel_center, &cells.bottom_border, &cells.bottom_limit};
    const std::array<const std::string*, 3> c{&cells.ratio_oi, &cells.ratio_volume,
                                              &cells.ratio_avg_price};
    for (int row = 0; row < 3; ++row) {
        SetCell(tables_[0], row, 2, *a[static_cast<std::size_t>(row)], right);
        SetCell(tables_[2], row, 2, *c[static_cast<std::size_t>(row)], right);
    }
    for (int row = 0; row < 7; ++row) {
        SetCell(tables_[1], row, 2, *b[static_cast<std::size_t>(row)], right);
    }
    for (int row = 0; row < analytics::kPanelTableRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        SetCell(tables_[3], row, 1, cells.level_call[r], right);
        SetCell(tables_[3], row, 2, cells.level_put[r], right);
        SetCell(tables_[4], row, 1, cells.fractal_call[r], right);
        SetCell(tables_[4], row, 2, cells.fractal_put[r], right);
    }
    ShowGrid(true);
}

bool LeftPanelWidget::CalendarOpen() const {
    const QCalendarWidget* calendar = date_->calendarWidget();
    return calendar != nullptr && calendar->window()->isVisible();
}

void LeftPanelWidget::CommitDate() {
    // The box of a day without data takes the focus, which ends the editing once more while
    // the first commit still runs: that end belongs to it.
    if (committing_ || CalendarOpen()) {
        return;
    }
    const common::Date picked = FromQDate(date_->date());
    if (common::DayText(picked) == model_->Date()) {
        return;
    }
    committing_ = true;
    day_chosen_ = true;
    model_->DateChanged(picked);
    committing_ = false;
    UpdateDayButtons();
}

void LeftPanelWidget::PickDay(common::Date day) {
    if (day == common::kInvalidDate || committing_) {
        return;
    }
    {
        const QSignalBlocker blocker(date_);
        date_->setDate(ToQDate(day));
    }
    CommitDate();
}

void LeftPanelWidget::PickedContract(int index) {
    contract_->setToolTip(contract_->itemData(index, Qt::ToolTipRole).toString());
    if (index >= 0) {
        model_->ContractChanged(contract_->itemText(index).toStdString());
    }
}

}  // namespace zarvex::ui
