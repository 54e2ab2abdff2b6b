#include "ui/volatility/vol_memory_view.h"

#include <QLabel>
#include <algorithm>

#include "analytics/volatility/volatility_store.h"
#include "common/date.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "storage/store.h"
#include "ui/volatility/vol_cone_chart.h"
#include "ui/volatility/vol_history_chart.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

namespace text = common::text;

// Days of the rank's window before `shown` (included) that have a cm30, up to the window.
std::size_t RankDays(const std::vector<analytics::VolHistoryDay>& history, std::size_t shown) {
    std::size_t count = 0;
    for (std::size_t i = shown + 1; i-- > 0 && count < analytics::kRankWindow;) {
        count += history[i].Cm30() ? 1 : 0;
    }
    return count;
}

VolMemory Compute(const common::ProgramFolder& folder, const std::string& symbol,
                  const std::string& date, const BackgroundWork::Progress& progress) {
    VolMemory memory;
    // A line for each hundredth of the way is all a reader can follow.
    std::size_t said = 0;
    const auto report = [&](std::size_t done, std::size_t total) {
        if (total > 0 && (done == 0 || done == total || (done - said) * 100 >= total)) {
            said = done;
            progress(done, total);
        }
    };
    const auto days = analytics::LoadVolatilityDays(folder, symbol, report);
    if (!days) {
        memory.fault = storage::QuotePath(folder, symbol).string();
        return memory;
    }
    memory.history = analytics::VolHistory(days->days);
    const common::Date day = common::ParseDate(date, "%dd.%mm.%yyyy");
    for (std::size_t i = 0; i < memory.history.size(); ++i) {
        if (memory.history[i].date == day) {
            memory.shown = i;
        }
    }
    if (day != common::kInvalidDate) {
        memory.cone = analytics::VolConeOn(memory.history, day);
    }
    return memory;
}

}  // namespace

VolMemoryView::VolMemoryView(QWidget* parent, const common::TextTable& texts,
                             common::ProgramFolder folder)
    : QWidget(parent), texts_(texts), folder_(std::move(folder)) {
    history_ = new VolHistoryChart(this);
    history_->setObjectName(QStringLiteral("volHistoryChart"));
    cone_ = new VolConeChart(this);
    cone_->setObjectName(QStringLiteral("volConeChart"));
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("volMemoryNote"));
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::RichText);
    hint_ = new QLabel(Text(text::kVolMemoryHint), this);
    hint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint_->setWordWrap(true);
    hint_->setStyleSheet(QStringLiteral("color: #555555"));
    busy_ = new QLabel(Text(text::kComputing), this);
    busy_->setObjectName(QStringLiteral("volMemoryBusy"));
    busy_->setAutoFillBackground(true);
    busy_->hide();
    connect(&work_, &BackgroundWork::BusyChanged, this, [this](bool busy) {
        busy_->setText(Text(text::kComputing));
        PlaceBusy();
        busy_->setVisible(busy);
    });
    VolMemory none;
    Show(none);
}

QString VolMemoryView::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

void VolMemoryView::Follow(const std::string& symbol, const std::string& date) {
    symbol_ = symbol;
    date_ = date;
    if (isVisible()) {
        StartIfDue();
    }
}

void VolMemoryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    StartIfDue();
}

void VolMemoryView::StartIfDue() {
    if (symbol_.empty()) {
        return;
    }
    // The quote file's stamp is what the store itself is checked against: a day run or an
    // edit behind the window's back changes it.
    const std::string key =
        symbol_ + '|' + date_ + '|' + analytics::QuoteFileStamp(folder_, symbol_);
    if (key == made_from_) {
        return;
    }
    made_from_ = key;
    work_.StartWithProgress<VolMemory>(
        [folder = folder_, symbol = symbol_, date = date_](const BackgroundWork::Progress& said) {
            return Compute(folder, symbol, date, said);
        },
        [this](VolMemory& memory) {
            Show(memory);
            emit Shown();
        },
        [this](std::size_t done, std::size_t total) {
            busy_->setText(
                Text(text::kVolStoreProgress).arg(QString::number(done), QString::number(total)));
            PlaceBusy();
            emit Progressed(done, total);
        });
}

void VolMemoryView::Show(VolMemory& memory) {
    const QString date =
        memory.shown ? QString::fromStdString(common::DayText(memory.history[*memory.shown].date))
                     : QString::fromStdString(date_);
    cone_->SetData(std::move(memory.cone),
                   {Text(text::kVolConeTitle).arg(date), Text(text::kConeRange),
                    Text(text::kConeMedian), Text(text::kConeToday)});
    note_->setText(NoteOf(memory));
    history_->SetData(std::move(memory.history), memory.shown,
                      {Text(text::kVolHistoryTitle), Text(text::kImplied30),
                       Text(text::kRealized20), Text(text::kVolPremium)});
}

QString VolMemoryView::NoteOf(const VolMemory& memory) const {
    if (!memory.fault.empty()) {
        return Text(text::kVolRowsUnread).arg(QString::fromStdString(memory.fault)).toHtmlEscaped();
    }
    if (!memory.shown) {
        return QString::fromStdString(date_).toHtmlEscaped();
    }
    const analytics::VolHistoryDay& day = memory.history[*memory.shown];
    const QString undefined = Text(text::kNotDefined);
    const auto vol = [&](const std::optional<double>& value) {
        return value ? Percent(*value) : undefined;
    };
    QString rank_undefined = undefined;
    const std::size_t rank_days = RankDays(memory.history, *memory.shown);
    if (day.Cm30() && rank_days < analytics::kRankMinimum) {
        rank_undefined = Text(text::kRankNeedsDays).arg(static_cast<qulonglong>(rank_days));
    }
    const auto score = [&](const std::optional<double>& value) {
        return value ? QString::number(*value, 'f', 1) : rank_undefined;
    };
    QStringList lines;
    lines << QStringLiteral("<b>%1</b>").arg(QString::fromStdString(common::DayText(day.date)));
    const auto line = [&](int name, const QString& value) {
        lines << (Text(name) + QStringLiteral(": ") + value).toHtmlEscaped();
    };
    line(text::kImplied30, vol(day.Cm30()));
    line(text::kRealized20, vol(day.rv20));
    line(text::kVolPremium, vol(day.vrp20));
    line(text::kIvRank, score(day.iv_rank));
    line(text::kIvPercentile, score(day.iv_percentile));
    return lines.join(QStringLiteral("<br>"));
}

void VolMemoryView::PlaceBusy() {
    busy_->adjustSize();
    busy_->move(width() - busy_->width() - 10, 6);
    busy_->raise();
}

void VolMemoryView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The history above the cone, the day's figures and how to read them beside the history.
    const int side = std::clamp(width() / 4, 150, 240);
    const int chart_width = width() - side - 6;
    const int upper = height() * 55 / 100;
    history_->setGeometry(2, 2, chart_width, upper - 4);
    cone_->setGeometry(2, upper, chart_width, height() - upper - 2);
    note_->setGeometry(chart_width + 8, 24, side - 8, upper / 2);
    hint_->setGeometry(chart_width + 8, upper, side - 8, height() - upper - 2);
    PlaceBusy();
}

}  // namespace zarvex::ui
