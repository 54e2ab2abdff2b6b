#include "ui/history/history_tab.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <stdexcept>

#include "analytics/history/contract_days.h"
#include "app/gui/main_window.h"
#include "common/plain_host.h"
#include "common/text.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/cli_runner.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/history/compare_control.h"
#include "ui/history/compare_overlay.h"
#include "ui/history/history_chart.h"
#include "ui/history/table_export.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"

namespace zarvex::ui {
namespace {

using test::StartedProgram;

// Six trading days around a weekend: Monday 3 to Friday 7 and Monday 10 December 2012.
class WeekHome final {
public:
    WeekHome() {
        reportgen::ReportGenerator generator;
        for (int d : {3, 4, 5, 6, 7, 10}) {
            std::string error;
            if (!reportgen::WriteProgramFolderDay(generator.Generate(common::MakeDate(2012, 12, d)),
                                                  home_.Path(), &error)) {
                throw std::runtime_error(error);
            }
        }
        common::TextTable texts(common::Language::kEnglish);
        common::PlainHost plain;
        day::InstrumentList list(home_.Folder(), plain.AsHost(&texts));
        for (int d : {3, 4, 5, 6, 7, 10}) {
            const common::Outcome run = list.RunCurrentDay(common::MakeDate(2012, 12, d));
            EXPECT_TRUE(run.IsDone()) << run.Reason();
        }
    }
    common::ProgramFolder Folder() const { return home_.Folder(); }
    const std::filesystem::path& Path() const { return home_.Path(); }

private:
    test::TempProgramFolder home_;
};

// Rows of a chart's positions on its canvas (-1000 for a position without a bar), and whether
// a row stands clear of its neighbours (dense rows share pixels).
std::vector<int> Rows(const HistogramChart& chart) {
    const analytics::HistogramData& data = chart.Data();
    const ChartOverlay& overlay = chart.Overlay();
    const HistogramScale& scale = chart.Scale();
    std::vector<int> rows;
    for (std::size_t i = 0; i < data.axis.size() && data.axis[i] > 0; ++i) {
        const bool bar = data.put[i] != 0.0 || data.call[i] != 0.0 ||
                         (i < overlay.compare_put.size() && overlay.compare_put[i] != 0.0) ||
                         (i < overlay.compare_call.size() && overlay.compare_call[i] != 0.0);
        rows.push_back(bar ? scale.StrikeToY(std::llround(data.axis[i] * PowerOfTen(scale.ds))) +
                                 chart.PlotTop()
                           : -1000);
    }
    return rows;
}

bool Clear(const std::vector<int>& rows, std::size_t i) {
    if (rows[i] < 0) {
        return false;
    }
    for (std::size_t j = 0; j < rows.size(); ++j) {
        if (j != i && rows[i] >= 0 && std::abs(rows[j] - rows[i]) < 6) {
            return false;
        }
    }
    return true;
}

QRgb Rgb(std::uint32_t colour) {
    return qRgb(static_cast<int>(colour >> 16), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>(colour & 0xFF));
}

class HistoryTabTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new WeekHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    // The EUR area on the contract with borders, the History page shown.
    InstrumentArea* ShowHistory(StartedProgram& program) {
        InstrumentArea* eur = program.Window().Area(0);
        QComboBox* contracts = eur->LeftPanel()->ContractList();
        const int later = contracts->findText("JAN13-AM");
        EXPECT_GE(later, 0);
        contracts->setCurrentIndex(later);
        emit contracts->activated(later);
        eur->RightPanel()->BuildPendingHistograms();
        eur->RightPanel()->Tabs()->setCurrentIndex(2);
        QCoreApplication::processEvents();
        test::WaitForViews();
        return eur;
    }

    static WeekHome* home_;
};

WeekHome* HistoryTabTest::home_ = nullptr;

TEST_F(HistoryTabTest, DrawsTheContractsDaysWithTheShownDayMarked) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = ShowHistory(program);
    HistoryTab* tab = eur->RightPanel()->History();
    EXPECT_EQ(eur->RightPanel()->Tabs()->tabText(2), "History");
    ASSERT_EQ(tab->History().days.size(), 6u);
    EXPECT_EQ(tab->Table()->rowCount(), 6);
    EXPECT_EQ(tab->History().days.front().day, common::MakeDate(2012, 12, 3));

    HistoryChart* chart = tab->Chart();
    const QImage& picture = chart->Picture();
    const HistoryLayout& layout = chart->Layout();
    const HistoryChartData& data = chart->Data();
    const HistoryColours colours;
    // Days are categories: the weekend between Friday and Monday takes no room (days lie on
    // whole pixels, so two steps may differ by one).
    EXPECT_NEAR(layout.DayToX(5) - layout.DayToX(4), layout.DayToX(2) - layout.DayToX(1), 1);

    // The CALL level passes through its value on an inner day, drawn last of the lines.
    ASSERT_TRUE(data.call_level[2]);
    const HistoryPane& prices = layout.panes[0];
    EXPECT_EQ(picture.pixel(layout.DayToX(2), prices.ValueToY(*data.call_level[2])),
              Rgb(colours.call_level));
    // Paired bars: CALL left of the day's centre, PUT right of it, halfway up each.
    const HistoryPane& oi = layout.panes[2];
    const int x = layout.DayToX(1);
    EXPECT_EQ(picture.pixel(x - 2, oi.ValueToY(data.call_oi[1] / 2)), Rgb(colours.call_oi));
    EXPECT_EQ(picture.pixel(x + 2, oi.ValueToY(data.put_oi[1] / 2)), Rgb(colours.put_oi));

    // The shown day (the panel's latest, Friday the 7th) carries the marker in every pane.
    ASSERT_EQ(tab->ShownIndex(), 4);
    const int marker = layout.DayToX(4);
    for (const HistoryPane& pane : layout.panes) {
        EXPECT_EQ(picture.pixel(marker, pane.plot.top() + 2), Rgb(colours.marker));
    }
    // The tooltip names the day and its values.
    EXPECT_TRUE(tab->DayText(4).startsWith("07.12.2012\nForward point: "));
    EXPECT_TRUE(tab->DayText(4).contains("\nCALL OI: " + QString::number(data.call_oi[4])));
}

TEST_F(HistoryTabTest, EveryInstrumentShowsItsContractsDays) {
    StartedProgram program(home_->Folder());
    for (int i = 0; i < 6; ++i) {
        InstrumentArea* area = program.Window().Area(i);
        ASSERT_NE(area, nullptr);
        area->ShowArea();
        area->RightPanel()->Tabs()->setCurrentIndex(2);
        QCoreApplication::processEvents();
        test::WaitForViews();
        const std::string contract = area->LeftPanel()->Model().Contract();
        const storage::Database& quote = area->Instrument().Stores().quote;
        EXPECT_EQ(area->RightPanel()->History()->History().days.size(),
                  analytics::ContractDays(quote, contract).size())
            << area->Instrument().Symbol();
        EXPECT_GE(area->RightPanel()->History()->History().days.size(), 5u)
            << area->Instrument().Symbol() << " " << contract;
        EXPECT_GE(area->RightPanel()->History()->ShownIndex(), 0) << area->Instrument().Symbol();
        area->HideArea();
    }
}

TEST_F(HistoryTabTest, ClickOnADayInTheChartOrTheTablePicksItInTheLeftPanel) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = ShowHistory(program);
    HistoryTab* tab = eur->RightPanel()->History();
    HistoryChart* chart = tab->Chart();
    const HistoryLayout& layout = chart->Layout();
    const QPoint on_monday = chart->contentsRect().topLeft() +
                             QPoint(layout.DayToX(0), layout.panes[1].plot.center().y());
    QTest::mouseClick(chart, Qt::LeftButton, {}, on_monday);
    QCoreApplication::processEvents();
    test::WaitForViews();
    EXPECT_EQ(eur->LeftPanel()->DatePicker()->date(), QDate(2012, 12, 3));
    EXPECT_EQ(eur->LeftPanel()->Model().Date(), "03.12.2012");
    EXPECT_EQ(eur->LeftPanel()->ContractList()->currentText(), "JAN13-AM");
    EXPECT_EQ(chart->ShownDay(), 0);  // the rebuild that follows moves the marker

    // Rows sorted newest first: a click on the top row picks the last day.
    tab->Table()->sortByColumn(0, Qt::DescendingOrder);
    const QRect top = tab->Table()->visualItemRect(tab->Table()->item(0, 1));
    QTest::mouseClick(tab->Table()->viewport(), Qt::LeftButton, {}, top.center());
    QCoreApplication::processEvents();
    test::WaitForViews();
    EXPECT_EQ(eur->LeftPanel()->DatePicker()->date(), QDate(2012, 12, 10));
}

TEST_F(HistoryTabTest, ADayComparedWithItselfDrawsEveryOutlineOverItsBar) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = ShowHistory(program);
    RightPanelWidget* right = eur->RightPanel();
    right->Tabs()->setCurrentIndex(0);
    // The list never offers the shown day.
    EXPECT_EQ(right->Compare()->List()->findText(QStringLiteral("07.12.2012")), -1);
    EXPECT_GE(right->Compare()->List()->findText(QStringLiteral("06.12.2012")), 0);
    right->Compare()->ChoosePrevious();
    const int computed = right->Overlay().Computations();
    EXPECT_EQ(computed, 4);

    // Outlines of the day's own values lie exactly on its bars' edges.
    HistogramChart* chart = right->Chart(1);
    ChartOverlay itself = chart->Overlay();
    itself.compare_put = chart->Data().put;
    itself.compare_call = chart->Data().call;
    // Only the outlines are looked at: no key-price line or band over a bar's end. The density's
    // curve stays: it is drawn beneath them.
    itself.price_lines.clear();
    itself.bands.clear();
    EXPECT_FALSE(itself.density.empty());
    chart->SetData(right->Model().SharedHistogram(1), itself);
    chart->Update();
    const analytics::HistogramData& data = chart->Data();
    const QImage& picture = chart->Picture();
    const HistogramScale& scale = chart->Scale();
    const HistogramColours colours;
    const std::vector<int> rows = Rows(*chart);
    const double vf = PowerOfTen(scale.dv);
    const int x0 = scale.ValueToX(0) + 1;
    int outlines = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!Clear(rows, i)) {
            continue;
        }
        // The later of the two outlines drawn at a row is the PUT one where both are.
        const double put = data.put[i];
        const double value = put != 0.0 ? put : data.call[i];
        if (value == 0.0) {
            continue;
        }
        const std::uint32_t colour = put != 0.0 ? colours.compare_put : colours.compare_call;
        const int y = rows[i];
        const int x = scale.ValueToX(std::llround(value * vf));
        // Exactly the bar's edges: its two edge rows and its end, nothing beyond the end.
        for (int dy : {-2, 2}) {
            EXPECT_EQ(picture.pixel((x0 + x) / 2, y + dy), Rgb(colour)) << i;
            EXPECT_NE(picture.pixel(x > x0 ? x + 1 : x - 1, y + dy), Rgb(colour)) << i;
        }
        // The end, unless a strike label stands over it (labels are never covered).
        const QRgb end = picture.pixel(x, y);
        EXPECT_TRUE(end == Rgb(colour) || qGray(end) < 128) << i;
        ++outlines;
    }
    EXPECT_GE(outlines, 3);

    // Off and on again: drawn from memory, nothing computed afresh.
    right->Compare()->ChooseOff();
    EXPECT_TRUE(right->Chart(1)->Overlay().compare_put.empty());
    right->Compare()->ChoosePrevious();
    EXPECT_EQ(right->Overlay().Computations(), computed);
    // The choice survives a rebuild (460) and follows it.
    eur->RebuildHistograms();
    right->BuildPendingHistograms();
    EXPECT_EQ(right->Chart(4)->Overlay().compare_date, "06.12.2012");
}

TEST_F(HistoryTabTest, TooltipOverABarNamesItsPriceValuesAndTheChange) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = ShowHistory(program);
    RightPanelWidget* right = eur->RightPanel();
    right->Tabs()->setCurrentIndex(0);
    right->Compare()->ChoosePrevious();
    HistogramChart* chart = right->Chart(1);
    const ChartOverlay& data = chart->Overlay();
    const analytics::HistogramData& built = right->Model().Histogram(1);
    const std::vector<int> rows = Rows(*chart);
    std::size_t i = 0;
    while (i < rows.size() && !(Clear(rows, i) && (built.put[i] != 0.0 || built.call[i] != 0.0))) {
        ++i;
    }
    ASSERT_LT(i, rows.size());
    const HistogramScale& scale = chart->Scale();
    const int y = rows[i];
    const QPoint at = chart->contentsRect().topLeft() + QPoint(scale.ValueToX(0) + 3, y + 1);
    ASSERT_EQ(chart->PositionAt(at), static_cast<int>(i));
    auto n = [](double v) { return QString::fromStdString(common::FormatShort(v)); };
    // Names the strike and premium of each row behind the bar, then the other day and the
    // change of the same strikes.
    QString expected = "Shown price: " + n(built.axis[i]) + "\nPUT: " + n(built.put[i]);
    for (const analytics::BarSource& source : built.put_sources) {
        if (source.position == i) {
            expected += "\n   Strike " + n(source.strike) + ", Premium " + n(source.premium);
        }
    }
    expected += "\nCALL: " + n(built.call[i]);
    for (const analytics::BarSource& source : built.call_sources) {
        if (source.position == i) {
            expected += "\n   Strike " + n(source.strike) + ", Premium " + n(source.premium);
        }
    }
    expected += "\n06.12.2012: PUT " + n(data.compare_put[i]) + ", CALL " +
                n(data.compare_call[i]) + "\nChange: PUT ";
    EXPECT_TRUE(built.put_strike[i] != 0.0 || built.call_strike[i] != 0.0);
    const QString tip = right->BarText(1, static_cast<int>(i));
    EXPECT_TRUE(tip.startsWith(expected)) << tip.toStdString();
    // The chances at the bar's price come after the compared day's lines.
    EXPECT_GT(tip.indexOf("\nChance of finishing beyond: "), tip.indexOf("\nChange: PUT "))
        << tip.toStdString();
}

TEST_F(HistoryTabTest, SavedPictureAndTableEqualWhatIsShownAndTheCommandLine) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = ShowHistory(program);
    const test::TempProgramFolder out;
    const QString png = QString::fromStdString((out.Path() / "h.png").string());
    HistoryChart* chart = eur->RightPanel()->History()->Chart();
    ASSERT_TRUE(SavePicture(chart->Render(1.0), png));
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), chart->Picture());
    HistogramChart* histogram = eur->RightPanel()->Chart(2);
    ASSERT_TRUE(SavePicture(histogram->Render(2.0), png));
    EXPECT_EQ(QImage(png).size(), histogram->contentsRect().size() * 2);
    EXPECT_EQ(eur->RightPanel()->DefaultName("H2", "png"), "EURJAN13-AM20121207_H2.png");

    const QString csv = QString::fromStdString((out.Path() / "h.csv").string());
    ASSERT_TRUE(eur->RightPanel()->History()->SaveCsv(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const test::CliOutcome cli =
        test::RunCli({"--home", home_->Path().string(), "history", "--symbol", "EUR", "--contract",
                      "JAN13-AM", "--csv"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_EQ(file.readAll().toStdString(), cli.out);
}

TEST_F(HistoryTabTest, RussianCaptionsFitTheirControls) {
    StartedProgram program(home_->Folder(), "rus");
    InstrumentArea* eur = ShowHistory(program);
    RightPanelWidget* right = eur->RightPanel();
    QTabBar* bar = right->Tabs()->tabBar();
    EXPECT_EQ(bar->tabText(2), "История");
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->tabText(2)), bar->tabRect(2).width());
    QLabel* caption = right->Compare()->Caption();
    EXPECT_EQ(caption->text(), "Сравнить с:");
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->width());
    QComboBox* list = right->Compare()->List();
    for (int i = 0; i < 2; ++i) {
        // The list must show its longest fixed entry, "предыдущий торговый день", whole.
        EXPECT_LE(list->fontMetrics().horizontalAdvance(list->itemText(i)) + 24, list->width())
            << list->itemText(i).toStdString();
    }
    // And it stays clear of the help link and the forward-point caption.
    EXPECT_LE(right->Compare()->geometry().right(), right->ForwardPointLabel()->x() - 45);
}

}  // namespace
}  // namespace zarvex::ui
