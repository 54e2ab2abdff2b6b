#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTabWidget>
#include <memory>

#include "analytics/history/contract_days.h"
#include "common/plain_host.h"
#include "common/text_table.h"
#include "long_history_data.h"
#include "ui/chart/histogram_painter.h"
#include "ui/histogram_chart.h"
#include "ui/history/compare_control.h"
#include "ui/history/compare_overlay.h"
#include "ui/history/history_chart.h"
#include "ui/history/history_tab.h"
#include "ui/right_panel_widget.h"

// The window's views across days on the longest-traded contract of the 250 full-size days:
// opening the History page (reading the history, filling the table, drawing the chart) and
// switching the compare overlay off and on. Runs offscreen.

namespace {

const common::TextTable& Texts() {
    static const common::TextTable texts(common::Language::kEnglish);
    return texts;
}

// The history is read on a worker and handed back through the event loop.
void WaitUntilRead(const ui::HistoryTab& tab) {
    while (tab.Busy()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// A new History page shown at the window's usual size, as a first click on its tab.
void BM_HistoryTab_Open(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    common::PlainHost plain;
    const analytics::HistoryRequest request{
        analytics::AnalysisInput(BenchSettings(), Folder().symbol, LongestContract())};
    std::size_t days = 0;
    for (auto _ : state) {
        auto tab = std::make_unique<ui::HistoryTab>(nullptr, Texts(), db, Folder().home,
                                                    plain.AsHost(&Texts()));
        tab->resize(1060, 680);
        tab->Follow(request, Folder().day);
        tab->show();          // starts reading the history
        WaitUntilRead(*tab);  // it arrives, fills the table and draws the chart
        QImage picture = tab->grab().toImage();
        benchmark::DoNotOptimize(picture.bits());
        days = tab->History().days.size();
    }
    state.counters["days"] = static_cast<double>(days);
}
BENCHMARK(BM_HistoryTab_Open)->Unit(benchmark::kMillisecond)->Iterations(5);

// The page already read: a new shown day only moves the marker and redraws.
void BM_HistoryTab_NewShownDay(benchmark::State& state) {
    const storage::Database db = OpenQuotes();
    common::PlainHost plain;
    const analytics::HistoryRequest request{
        analytics::AnalysisInput(BenchSettings(), Folder().symbol, LongestContract())};
    ui::HistoryTab tab(nullptr, Texts(), db, Folder().home, plain.AsHost(&Texts()));
    tab.resize(1060, 680);
    tab.Follow(request, Folder().day);
    tab.show();
    WaitUntilRead(tab);
    const auto& history = tab.History().days;
    std::size_t i = 0;
    for (auto _ : state) {
        tab.Follow(request, common::DayText(history[i++ % history.size()].day));
        benchmark::DoNotOptimize(tab.Chart()->Picture().bits());
    }
}
BENCHMARK(BM_HistoryTab_NewShownDay)->Unit(benchmark::kMillisecond);

struct PanelBench {
    PanelBench() {
        parent.resize(1280, 720);
        panel = std::make_unique<ui::RightPanelWidget>(&parent, 700, 211, 0, 1060, 680, Texts(), db,
                                                       Folder().home, plain.AsHost(&Texts()));
        panel->Configure(
            analytics::AnalysisInput(BenchSettings(), Folder().symbol, LongestContract(),
                                     common::ParseDate(Folder().day, "%dd.%mm.%yyyy")));
        panel->BuildPendingHistograms();
    }
    storage::Database db = OpenQuotes();
    common::PlainHost plain;
    QWidget parent;
    std::unique_ptr<ui::RightPanelWidget> panel;
};

// The overlay switched on over the four charts the first time: the previous day's rows read
// and placed on each chart's axis, then drawn.
void BM_Overlay_FirstOn(benchmark::State& state) {
    PanelBench bench;
    for (auto _ : state) {
        state.PauseTiming();
        bench.panel->Compare()->ChooseOff();
        bench.panel->Overlay().Invalidate();
        state.ResumeTiming();
        bench.panel->Compare()->ChoosePrevious();
    }
}
BENCHMARK(BM_Overlay_FirstOn)->Unit(benchmark::kMillisecond);

// Off and on again: the four charts redrawn from what is in memory.
void BM_Overlay_OffAndOn(benchmark::State& state) {
    PanelBench bench;
    bench.panel->Compare()->ChoosePrevious();
    const int computed = bench.panel->Overlay().Computations();
    for (auto _ : state) {
        bench.panel->Compare()->ChooseOff();
        bench.panel->Compare()->ChoosePrevious();
    }
    state.counters["recomputed"] = bench.panel->Overlay().Computations() - computed;
}
BENCHMARK(BM_Overlay_OffAndOn)->Unit(benchmark::kMillisecond);

// What a tooltip costs: the bar under the pointer and its text, from the drawn data.
void BM_Overlay_Tooltip(benchmark::State& state) {
    PanelBench bench;
    bench.panel->Compare()->ChoosePrevious();
    ui::HistogramChart* chart = bench.panel->Chart(1);
    int y = 0;
    for (auto _ : state) {
        const int position = chart->PositionAt(QPoint(60, 20 + (y++ % 600)));
        benchmark::DoNotOptimize(bench.panel->BarText(1, position));
    }
}
BENCHMARK(BM_Overlay_Tooltip)->Unit(benchmark::kMicrosecond);

// One histogram drawn at its usual size without (0) and with (1) the five key-price lines and
// their legend entries: the difference is what the lines cost a chart.
void BM_Chart_KeyPriceLines(benchmark::State& state) {
    PanelBench bench;
    const analytics::HistogramData& data = bench.panel->Chart(1)->Data();
    ui::ChartOverlay overlay = bench.panel->Chart(1)->Overlay();
    overlay.price_lines.clear();
    if (state.range(0) == 1 && !data.axis.empty()) {
        const double low = data.axis.front();
        const double high = data.axis.back();
        const char* const names[] = {"CALL level", "PUT level", "Market borders", "", "Max pain"};
        for (int k = 0; k < 5; ++k) {
            overlay.price_lines.push_back({low + (high - low) * (k + 1) / 6.0, names[k],
                                           0x108010u * static_cast<std::uint32_t>(k + 1), k == 2});
        }
    }
    const ui::HistogramColours colours;
    const ui::HistogramFonts fonts = ui::DefaultHistogramFonts();
    QImage image(QSize(259, 633), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        ui::PaintHistogram(painter, image.size(), data, overlay, colours, fonts);
    }
    state.SetLabel(state.range(0) == 1 ? "with key-price lines" : "without");
}
BENCHMARK(BM_Chart_KeyPriceLines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
