#include "ui/scorecard/scorecard_view.h"

#include <QLabel>
#include <QResizeEvent>
#include <QShowEvent>
#include <system_error>

#include "common/date.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "storage/store.h"
#include "ui/scorecard/scorecard_chart.h"

namespace zarvex::ui {

namespace text = common::text;

QString ScorecardSummary(const common::TextTable& texts, const analytics::Scorecard& card) {
    std::int64_t cases = 0;
    for (const analytics::LineScore& score : card.lines) {
        // Every case is scored one day ahead when it is scored at all; the borders stand for
        // the day's cases as a whole.
        if (score.line == analytics::ScoredLine::kBorders &&
            score.horizon == analytics::ScoreHorizon::kOneDay) {
            cases = score.cases;
        }
    }
    const auto day = [](common::Date date) {
        return date == common::kInvalidDate ? QStringLiteral("–")
                                            : QString::fromStdString(common::DayText(date));
    };
    return QString::fromStdString(texts.Get(text::kScorecardSummary))
        .arg(cases)
        .arg(day(card.from), day(card.to));
}

ScorecardView::ScorecardView(QWidget* parent, const common::TextTable& texts)
    : QWidget(parent),
      texts_(texts),
      job_(std::make_unique<ScorecardJob>(
          this, [this](const ScorecardResult& result) { Show(result); },
          [this](std::size_t done, std::size_t total) {
              summary_->setText(
                  Text(text::kVolStoreProgress).arg(QString::number(done), QString::number(total)));
              emit Progressed(done, total);
          })) {
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("scorecard_summary"));
    summary_->setWordWrap(true);
    chart_ = new ScorecardChart(this, texts_);
    chart_->setObjectName(QStringLiteral("scorecard_chart"));
}

ScorecardView::~ScorecardView() = default;

QString ScorecardView::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

void ScorecardView::Follow(const common::ProgramFolder& folder, const settings::Settings& settings,
                           const std::string& symbol) {
    folder_ = folder;
    file_ = storage::QuotePath(folder, symbol);
    settings_ = settings;
    symbol_ = symbol;
    if (isVisible()) {
        StartIfDue();
    }
}

void ScorecardView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    StartIfDue();
}

void ScorecardView::StartIfDue() {
    if (symbol_.empty()) {
        return;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(file_, error);
    const auto changed = std::filesystem::last_write_time(file_, error);
    const std::string key = symbol_ + '|' + file_.string() + '|' +
                            std::to_string(error ? 0 : size) + '|' +
                            std::to_string(changed.time_since_epoch().count());
    if (key == made_from_) {
        return;
    }
    made_from_ = key;
    summary_->setText(Text(text::kScorecardComputing));
    job_->Start(folder_, settings_, symbol_);
}

void ScorecardView::Show(const ScorecardResult& result) {
    if (result.card) {
        summary_->setText(ScorecardSummary(texts_, *result.card));
    } else {
        summary_->setText(Text(text::kScorecardFailed) + QString::fromStdString(result.failure));
    }
    chart_->SetCard(result.card);
    emit Shown();
}

void ScorecardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int width = event->size().width();
    const int summary_height = summary_->heightForWidth(width - 8);
    summary_->setGeometry(4, 2, width - 8, std::max(summary_height, 16));
    const int top = summary_->geometry().bottom() + 4;
    chart_->setGeometry(0, top, width, std::max(0, event->size().height() - top));
}

}  // namespace zarvex::ui
