#include "ui/board/board_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <memory>
#include <vector>

#include "analytics/board/board_files.h"
#include "analytics/board/oi_map.h"
#include "analytics/day/figure_catalogue.h"
#include "analytics/volatility/volatility_store.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "settings/settings.h"
#include "ui/board/alert_rules_dialog.h"
#include "ui/board/oi_heatmap.h"
#include "ui/side_caption.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

namespace text = common::text;
using analytics::FigureId;

// The summary's figure columns, in the catalogue's order of them.
const std::vector<FigureId>& FigureColumns() {
    static const std::vector<FigureId> columns =
        analytics::FiguresByPosition(&analytics::FigureEntry::board_column);
    return columns;
}
constexpr int kFixedColumns = 3;  // symbol, contract, expiration

// The symbol's volatility across days after the front contract's figures: not a figure of a
// contract's day, so not in the catalogue. An index into BoardVolatility's values, its caption
// and whether it is a volatility (else a score of 0..100).
struct VolatilityColumn {
    std::size_t index;
    int caption;
    bool volatility;
};
constexpr std::array<VolatilityColumn, 3> kVolatilityColumns{{
    {0, common::text::kImplied30, true},   // cm30
    {1, common::text::kIvRank, false},     // iv_rank
    {4, common::text::kVolPremium, true},  // vrp20
}};

QTableWidget* MakeTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(20);
    return table;
}

QTableWidgetItem* Cell(const QString& value, Qt::Alignment align = Qt::AlignRight) {
    auto* item = new QTableWidgetItem(value);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

QString FromStd(const std::string& value) {
    return QString::fromStdString(std::string(common::Trim(value)));
}

// The panel's figures as it shows them; the volatility, which has no text of the panel's, as
// the Volatility tab shows it.
QString Shown(const analytics::FigureValue& value) {
    if (value.exact) {
        return value.number ? Percent(*value.number) : QStringLiteral("-");
    }
    return FromStd(value.text);
}

// A figure with an arrow for its change since the previous day, green up and red down.
QTableWidgetItem* FigureCell(const analytics::BoardContract& contract, FigureId figure) {
    const std::optional<double> change = contract.ChangeOf(figure);
    const QString shown = Shown(contract.today[figure]);
    QTableWidgetItem* item = Cell(shown);
    if (change && *change != 0.0) {
        item->setText(shown + (*change > 0 ? QStringLiteral(" ▲") : QStringLiteral(" ▼")));
        item->setForeground(*change > 0 ? QColor(20, 130, 40) : QColor(190, 30, 30));
    }
    if (contract.previous) {
        item->setToolTip(Shown((*contract.previous)[figure]) + QStringLiteral(" → ") + shown +
                         (change
                              ? QStringLiteral("  (") +
                                    (contract.today[figure].exact
                                         ? Percent(*change)
                                         : QString::fromStdString(common::FormatShort(*change))) +
                                    QStringLiteral(")")
                              : QString()));
    }
    return item;
}

// A volatility across days with an arrow for its change since the previous day, as the
// figures beside it have theirs.
QTableWidgetItem* VolatilityCell(const std::optional<analytics::SymbolVolatility>& figures,
                                 const VolatilityColumn& column) {
    const auto shown = [&](const std::optional<double>& value) {
        if (!value) {
            return QStringLiteral("-");
        }
        return column.volatility ? Percent(*value) : QString::number(*value, 'f', 1);
    };
    if (!figures) {
        return Cell(QStringLiteral("-"));
    }
    const QString today = shown(figures->today.values[column.index]);
    QTableWidgetItem* item = Cell(today);
    const std::optional<double> change = figures->ChangeOf(column.index);
    if (change && *change != 0.0) {
        item->setText(today + (*change > 0 ? QStringLiteral(" ▲") : QStringLiteral(" ▼")));
        item->setForeground(*change > 0 ? QColor(20, 130, 40) : QColor(190, 30, 30));
    }
    if (figures->previous) {
        item->setToolTip(
            shown(figures->previous->values[column.index]) + QStringLiteral(" → ") + today +
            (change ? QStringLiteral("  (") + shown(change) + QStringLiteral(")") : QString()));
    }
    return item;
}

}  // namespace

BoardView::BoardView(QWidget* parent, BoardViewServices services)
    : QWidget(parent),
      services_(std::move(services)),
      title_(new QLabel(this)),
      progress_(new QLabel(this)),
      floor_(new QSpinBox(this)),
      rules_(new QPushButton(this)),
      summary_(nullptr),
      alerts_(new QListWidget(this)),
      lists_(new QTabWidget(this)),
      map_symbol_(new QComboBox(this)),
      map_change_(new QComboBox(this)),
      heatmap_(new OiHeatmap(this)) {
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    floor_->setRange(0, 1'000'000'000);
    floor_->setValue(static_cast<int>(analytics::BoardOptions().volume_floor));
    rules_->setText(Text(text::kBoardAlertRules));
    auto* floor_caption = new QLabel(Text(text::kBoardFloor), this);

    QStringList headers{Text(text::kBoardSymbol), Text(text::kBoardContract),
                        Text(text::kExpiration)};
    for (const FigureId figure : FigureColumns()) {
        headers << Text(analytics::Figure(figure).caption);
    }
    for (const VolatilityColumn& column : kVolatilityColumns) {
        headers << Text(column.caption);
    }
    summary_ = MakeTable(this, headers);
    for (const std::string_view symbol : common::kSymbols) {
        map_symbol_->addItem(
            QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())));
    }
    map_change_->addItem(Text(text::kBoardMapDay), 0);
    map_change_->addItem(Text(text::kBoardMapChange1), 1);
    map_change_->addItem(Text(text::kBoardMapChange5), 5);
    heatmap_->SetSumCaption(Text(text::kBoardSum));

    auto* top = new QHBoxLayout;
    top->addWidget(title_);
    top->addWidget(progress_, 1);
    top->addWidget(floor_caption);
    top->addWidget(floor_);
    top->addWidget(rules_);
    auto* map_bar = new QHBoxLayout;
    map_bar->addWidget(new QLabel(Text(text::kBoardOiMap), this), 1);
    map_bar->addWidget(map_symbol_);
    map_bar->addWidget(map_change_);
    auto* map_box = new QVBoxLayout;
    map_box->addLayout(map_bar);
    map_box->addWidget(heatmap_, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(summary_, 3);
    left->addWidget(new QLabel(Text(text::kBoardAlerts), this));
    left->addWidget(alerts_, 1);
    left->addWidget(lists_, 3);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(map_box, 2);
    auto* layout = new QVBoxLayout(this);
    // Room at the top for the window's Help link.
    layout->setContentsMargins(6, 20, 6, 4);
    layout->addLayout(top);
    layout->addLayout(body, 1);

    for (BackgroundWork* work : {&board_work_, &map_work_}) {
        connect(work, &BackgroundWork::BusyChanged, this, [this] { ShowTitle(); });
    }
    connect(rules_, &QPushButton::clicked, this, [this] { EditRules(); });
    connect(floor_, &QSpinBox::editingFinished, this, [this] { Refresh(); });
    connect(summary_, &QTableWidget::cellClicked, this, [this](int row, int) {
        const QTableWidgetItem* item = summary_->item(row, 0);
        if (item == nullptr) {
            return;
        }
        const int index = common::InstrumentIndex(item->text().toStdString());
        const analytics::SymbolBoard* symbol = board_.Find(item->text().toStdString());
        if (index >= 0 && symbol != nullptr) {
            map_symbol_->setCurrentIndex(index);
            emit ShowContract(index, summary_->item(row, 1)->text(), symbol->date);
        }
    });
    connect(map_symbol_, &QComboBox::currentIndexChanged, this, [this] {
        FillLists();
        FillMap();
    });
    connect(map_change_, &QComboBox::currentIndexChanged, this, [this] { FillMap(); });
    connect(heatmap_, &OiHeatmap::CellClicked, this, [this](int column, double) {
        const analytics::OiMap& map = heatmap_->Map();
        if (column >= 0 && static_cast<std::size_t>(column) < map.contracts.size()) {
            emit ShowContract(
                common::InstrumentIndex(map.symbol),
                QString::fromStdString(map.contracts[static_cast<std::size_t>(column)]), map.date);
        }
    });
}

BoardView::~BoardView() {
    // Hiding a top-level board moves the focus, and a spin box losing it asks for a refresh:
    // not of a view whose members are going.
    floor_->disconnect(this);
}

QString BoardView::Text(int id) const {
    return QString::fromStdString(
        (services_.texts != nullptr ? *services_.texts : common::TextTable::English()).Get(id));
}

namespace {

// What a refresh computes: the board and the alerts it fires.
struct BoardResult {
    analytics::Board board;
    std::vector<analytics::FiredAlert> fired;
};

// The sources with copies of their settings: the settings dialog may change the instruments'
// while a worker reads them.
struct OwnedSources {
    std::vector<settings::Settings> settings;
    std::vector<analytics::BoardSource> sources;
};

std::shared_ptr<const OwnedSources> Own(const std::vector<analytics::BoardSource>& given) {
    auto owned = std::make_shared<OwnedSources>();
    owned->settings.reserve(given.size());  // the inputs point into it
    for (const analytics::BoardSource& source : given) {
        owned->settings.push_back(source.input.Settings());
        const analytics::AnalysisInput& input = source.input;
        owned->sources.push_back({analytics::AnalysisInput(owned->settings.back(), input.symbol,
                                                           input.contract, input.day),
                                  source.quote_path});
    }
    return owned;
}

// The board's progress names the symbol whose store is being built: its place among the sources
// rides in the count's high part (no symbol has this many days).
constexpr std::size_t kPerSource = 1'000'000'000;

// The worker reports nothing to the window: no status, no lock, no pumping, no message box.
common::Host QuietHost(const common::Host& host) {
    common::Host quiet;
    quiet.texts = host.texts;
    return quiet;
}

}  // namespace

void BoardView::Refresh() {
    const common::SystemClock system_clock;
    const common::Clock& clock = services_.clock != nullptr ? *services_.clock : system_clock;
    analytics::BoardOptions options;
    options.volume_floor = floor_->value();
    const auto sources =
        Own(services_.sources ? services_.sources() : std::vector<analytics::BoardSource>());
    const common::Date today = common::DayStart(clock.Now());
    // Each source is opened by BuildBoard itself, on the worker's thread: no connection of
    // the window's is shared.
    progress_->clear();
    board_work_.StartWithProgress<BoardResult>(
        [sources, today, options, folder = services_.folder, host = QuietHost(services_.host),
         config = services_.config_folder](const BackgroundWork::Progress& said) {
            // A symbol's volatility store is built from its rows the first time (seconds on
            // years of days): brought in line here, where its progress can be shown, the
            // board then reads it as it stands.
            for (std::size_t i = 0; i < sources->sources.size(); ++i) {
                std::size_t told = 0;
                analytics::LoadVolatilityDays(folder, sources->sources[i].input.symbol,
                                              [&](std::size_t done, std::size_t total) {
                                                  if (total > 0 && (done == 0 || done == total ||
                                                                    (done - told) * 100 >= total)) {
                                                      told = done;
                                                      said(i * kPerSource + done, total);
                                                  }
                                              });
            }
            BoardResult result;
            result.board = analytics::BuildBoard(sources->sources, common::kInvalidDate, today,
                                                 options, folder, host);
            const analytics::AlertRuleFile rules =
                analytics::ReadAlertRuleFile(analytics::AlertRulesPath(config));
            result.fired = analytics::EvaluateAlerts(rules.rules.rules, result.board);
            return result;
        },
        [this](BoardResult& result) {
            board_ = std::move(result.board);
            fired_ = std::move(result.fired);
            for (const analytics::SymbolBoard& symbol : board_.symbols) {
                if (!symbol.read.IsDone()) {
                    services_.host.ShowStatus(symbol.symbol + ": " + symbol.read.Reason());
                }
            }
            progress_->clear();
            FillSummary();
            FillAlerts();
            FillLists();
            FillMap();
        },
        [this, sources](std::size_t said, std::size_t total) {
            const std::size_t source = said / kPerSource;
            const std::size_t done = said % kPerSource;
            progress_->setText(source < sources->sources.size()
                                   ? QString::fromStdString(sources->sources[source].input.symbol) +
                                         QStringLiteral(": ") +
                                         Text(text::kVolStoreProgress)
                                             .arg(QString::number(done), QString::number(total))
                                   : QString());
            emit StoreProgressed(progress_->text());
        });
    ShowTitle();
}

void BoardView::ShowTitle() {
    QString title = Text(text::kBoard) + QStringLiteral(": ");
    if (board_work_.Busy()) {
        title += Text(text::kComputing);

    } else {
        title += board_.date == common::kInvalidDate
                     ? Text(text::kBoardNoDays)
                     : QString::fromStdString(common::DayText(board_.date));
        if (map_work_.Busy()) {
            title += QStringLiteral("  ") + Text(text::kComputing);
        }
    }
    title_->setText(title);
}

void BoardView::EditRules() {
    AlertRulesDialog dialog(
        analytics::AlertRulesPath(services_.config_folder),
        services_.texts != nullptr ? *services_.texts : common::TextTable::English(), this);
    if (dialog.exec() == QDialog::Accepted) {
        Refresh();
    }
}

void BoardView::FillSummary() {
    summary_->setRowCount(0);
    for (const analytics::SymbolBoard& symbol : board_.symbols) {
        const analytics::BoardContract* front = symbol.Front();
        if (front == nullptr) {
            continue;
        }
        const int row = summary_->rowCount();
        summary_->insertRow(row);
        summary_->setItem(row, 0, Cell(QString::fromStdString(symbol.symbol), Qt::AlignLeft));
        summary_->setItem(row, 1, Cell(QString::fromStdString(front->contract), Qt::AlignLeft));
        summary_->setItem(row, 2, Cell(FromStd(front->expiration), Qt::AlignLeft));
        int column = kFixedColumns;
        for (const FigureId figure : FigureColumns()) {
            summary_->setItem(row, column++, FigureCell(*front, figure));
        }
        for (const VolatilityColumn& volatility : kVolatilityColumns) {
            summary_->setItem(row, column++, VolatilityCell(symbol.volatility, volatility));
        }
    }
}

void BoardView::FillAlerts() {
    alerts_->clear();
    for (const analytics::FiredAlert& alert : fired_) {
        alerts_->addItem(QString::fromStdString(alert.message));
    }
    if (fired_.empty()) {
        alerts_->addItem(Text(text::kBoardNoAlerts));
    }
}

const analytics::SymbolBoard* BoardView::SelectedSymbol() const {
    return board_.Find(map_symbol_->currentText().toStdString());
}

void BoardView::FillLists() {
    while (lists_->count() > 0) {
        QWidget* page = lists_->widget(0);
        lists_->removeTab(0);
        delete page;
    }
    const analytics::SymbolBoard* symbol = SelectedSymbol();
    const QStringList change_headers{QStringLiteral("CALL/PUT"), Text(text::kBoardContract),
                                     Text(text::kStrike),        Text(text::kOpenInterest),
                                     Text(text::kBoardPrevious), Text(text::kChange)};
    const auto change_table = [&](const std::vector<analytics::OiChange>& calls,
                                  const std::vector<analytics::OiChange>& puts) {
        QTableWidget* table = MakeTable(lists_, change_headers);
        for (const auto* list : {&calls, &puts}) {
            for (const analytics::OiChange& change : *list) {
                const int row = table->rowCount();
                table->insertRow(row);
                table->setItem(
                    row, 0,
                    Cell(SideCaption(list == &calls ? common::Side::kCall : common::Side::kPut),
                         Qt::AlignLeft));
                table->setItem(row, 1,
                               Cell(QString::fromStdString(change.contract), Qt::AlignLeft));
                table->setItem(row, 2,
                               Cell(QString::fromStdString(common::FormatShort(change.strike))));
                table->setItem(row, 3, Cell(QString::number(change.oi)));
                table->setItem(row, 4, Cell(QString::number(change.previous_oi)));
                table->setItem(row, 5, Cell(QString::number(change.Change())));
            }
        }
        return table;
    };
    static const std::vector<analytics::OiChange> kNone;
    lists_->addTab(change_table(symbol ? symbol->call_build_ups : kNone,
                                symbol ? symbol->put_build_ups : kNone),
                   Text(text::kBoardBuildUps));
    lists_->addTab(
        change_table(symbol ? symbol->call_unwinds : kNone, symbol ? symbol->put_unwinds : kNone),
        Text(text::kBoardUnwinds));
    QTableWidget* volume = MakeTable(
        lists_, {QStringLiteral("CALL/PUT"), Text(text::kBoardContract), Text(text::kStrike),
                 Text(text::kVolume), Text(text::kOpenInterest), Text(text::kBoardVolumeToOi)});
    if (symbol != nullptr) {
        for (const analytics::VolumeLeader& leader : symbol->volume_to_oi) {
            const int row = volume->rowCount();
            volume->insertRow(row);
            volume->setItem(row, 0, Cell(SideCaption(leader.side), Qt::AlignLeft));
            volume->setItem(row, 1, Cell(QString::fromStdString(leader.contract), Qt::AlignLeft));
            volume->setItem(row, 2,
                            Cell(QString::fromStdString(common::FormatShort(leader.strike))));
            volume->setItem(row, 3, Cell(QString::number(leader.volume)));
            volume->setItem(row, 4, Cell(QString::number(leader.oi)));
            volume->setItem(row, 5,
                            Cell(QString::fromStdString(common::FormatFixed(leader.ratio, 3))));
        }
    }
    lists_->addTab(volume, Text(text::kBoardVolumeToOi));
}

void BoardView::FillMap() {
    std::string symbol = map_symbol_->currentText().toStdString();
    const int change = map_change_->currentData().toInt();
    const auto sources =
        Own(services_.sources ? services_.sources() : std::vector<analytics::BoardSource>());
    // The map, or why a symbol's rows could not be read: an empty map would read as a day
    // without open interest.
    struct MapResult {
        analytics::OiMap map;
        std::string failure;
    };
    map_work_.Start<MapResult>(
        [symbol, change, date = board_.date, sources] {
            MapResult result;
            result.map.symbol = symbol;
            result.map.change = change;
            for (const analytics::BoardSource& source : sources->sources) {
                if (source.input.symbol != symbol || date == common::kInvalidDate) {
                    continue;
                }
                const storage::Database db =
                    storage::Database::OpenReadOnlyForScan(source.quote_path);
                analytics::SymbolRows rows;
                common::Result<analytics::OiMap> built =
                    rows.Scan(db)
                        ? analytics::BuildOiMap(rows, db, symbol, date, change)
                        : common::Result<analytics::OiMap>::Failed(
                              source.quote_path.string() + ": the quote rows cannot be read");
                if (built) {
                    result.map = std::move(built).Value();
                } else {
                    result.failure = built.Reason();
                }
            }
            return result;
        },
        [this](MapResult& result) {
            if (!result.failure.empty()) {
                services_.host.ShowStatus(result.failure);
            }
            heatmap_->SetMap(std::move(result.map));
        });
    ShowTitle();
}

}  // namespace zarvex::ui
