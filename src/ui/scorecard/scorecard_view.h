#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "common/program_folder.h"
#include "settings/settings.h"
#include "ui/scorecard/scorecard_job.h"

class QLabel;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class ScorecardChart;

// The Scorecard page: a sentence of what the numbers rest on, and the chart. It is computed on
// a worker from the instrument's quote file with its settings; the page says so meanwhile, and
// a result for a symbol or settings no longer shown is dropped.
class ScorecardView final : public QWidget {
    Q_OBJECT

public:
    ScorecardView(QWidget* parent, const common::TextTable& texts);
    ~ScorecardView() override;

    // The card of the symbol's quote file in `folder`. It is computed while the page is shown,
    // once for each state of the file: a click through days and contracts costs nothing.
    void Follow(const common::ProgramFolder& folder, const settings::Settings& settings,
                const std::string& symbol);

    ScorecardChart* Chart() const { return chart_; }
    QLabel* Summary() const { return summary_; }
    bool Computing() const { return job_->Running(); }

signals:
    // A result was shown (or the reason there is none).
    void Shown();
    // The volatility store's build said how far it has come (on the window's thread), and the
    // page says so above the chart.
    void Progressed(qulonglong done, qulonglong total);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void StartIfDue();
    void Show(const ScorecardResult& result);
    QString Text(int entry) const;

    const common::TextTable& texts_;
    QLabel* summary_ = nullptr;
    ScorecardChart* chart_ = nullptr;
    std::unique_ptr<ScorecardJob> job_;
    common::ProgramFolder folder_{std::filesystem::path()};
    std::filesystem::path file_;
    settings::Settings settings_;
    std::string symbol_;
    // What the shown (or running) card was made from: the symbol, and the file's size and
    // time of change.
    std::string made_from_;
};

// The sentence above the chart: how many cases the card rests on over which days, and that a
// rate with a wide interval says little.
QString ScorecardSummary(const common::TextTable& texts, const analytics::Scorecard& card);

}  // namespace zarvex::ui
