#include "ui/volatility/vol_memory_view.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableWidget>
#include <filesystem>

#include "analytics/board/board_volatility.h"
#include "analytics/volatility/volatility_store.h"
#include "common/calendar.h"
#include "common/date.h"
#include "common/text.h"
#include "common/text_table.h"
#include "reportgen/report_generator.h"
#include "settings/settings.h"
#include "storage/statement.h"
#include "storage/store.h"
#include "support/temp_folder.h"
#include "ui/board/board_view.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"
#include "ui/volatility/vol_cone_chart.h"
#include "ui/volatility/vol_history_chart.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {
namespace {

constexpr std::size_t kDays = 45;

// kDays generated EUR days of a volatility with a memory (so that rank, cone and premium are
// not flat), stored as the extraction stores them; the other symbols have no quote file.
class VolMemoryHome {
public:
    VolMemoryHome() {
        const storage::Database db = storage::OpenStore(storage::QuotePath(home_.Folder(), "EUR"),
                                                        storage::StoreKind::kQuote)
                                         .db;
        db.Execute("Begin Transaction");
        storage::Statement insert = db.Prepare(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const reportgen::ReportGenerator generator(
            {.seed = 7, .strikes = 16, .volatility_memory = true, .volatility_premium = 0.02});
        for (common::Date day = common::MakeDate(2025, 9, 1); days_.size() < kDays;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            for (const import::ReportRow& row : generated.rows.at("EUR")) {
                const std::string contract = common::TrimCopy(row.contract);
                insert.Reset(true);
                insert.BindAll({std::string_view(row.strike), std::string_view(row.price),
                                std::string_view(row.delta), std::string_view(row.volume),
                                std::string_view(row.oi), std::string_view(row.doi),
                                std::string_view(row.sign), std::string_view(row.symb),
                                std::string_view(row.option), std::string_view(contract),
                                std::string_view(row.expiration), std::string_view(row.date)});
                insert.Run();
            }
            days_.push_back(day);
        }
        db.Execute("Commit");
    }

    common::ProgramFolder Folder() const { return home_.Folder(); }
    std::string Day(std::size_t i) const { return common::DayText(days_.at(i)); }
    std::filesystem::path Store() const {
        return analytics::VolatilityStorePath(home_.Folder(), "EUR");
    }
    // What `vol --history` computes, straight from the core.
    std::vector<analytics::VolHistoryDay> History() const {
        return analytics::VolHistory(analytics::LoadVolatilityDays(home_.Folder(), "EUR")->days);
    }

private:
    test::TempProgramFolder home_;
    std::vector<common::Date> days_;
};

// Turns the event loop until the signal came (true) or a while has passed.
bool WaitFor(QSignalSpy& spy, int count = 1) {
    QElapsedTimer clock;
    clock.start();
    while (spy.count() < count && clock.elapsed() < 60000) {
        spy.wait(50);
    }
    return spy.count() >= count;
}

class VolMemoryViewTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new VolMemoryHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    // The view shown at the size of a right panel's page.
    std::unique_ptr<VolMemoryView> ShownView() {
        auto view = std::make_unique<VolMemoryView>(nullptr, texts_, home_->Folder());
        view->resize(900, 600);
        view->show();
        return view;
    }

    static void Keep(const QImage& image, const char* name) {
        if (const char* folder = std::getenv("ZARVEX_PICTURES")) {
            image.save(QString::fromLocal8Bit(folder) + "/" + name);
        }
    }

    common::TextTable texts_{common::Language::kEnglish};
    static VolMemoryHome* home_;
};

VolMemoryHome* VolMemoryViewTest::home_ = nullptr;

TEST_F(VolMemoryViewTest, DrawsTheCoresHistoryAndConeOfTheShownDayAndShowsTheFirstBuild) {
    std::filesystem::remove(home_->Store());
    const auto view = ShownView();
    QSignalSpy progressed(view.get(), &VolMemoryView::Progressed);
    QSignalSpy shown(view.get(), &VolMemoryView::Shown);
    constexpr std::size_t kShown = 40;
    view->Follow("EUR", home_->Day(kShown));
    EXPECT_TRUE(view->Busy());
    ASSERT_TRUE(WaitFor(shown));
    // The build said how far it had come, up to every stored day; the busy note is gone.
    ASSERT_GE(progressed.count(), 2);
    EXPECT_EQ(progressed.last().at(0).toULongLong(), static_cast<qulonglong>(kDays));
    EXPECT_EQ(progressed.last().at(1).toULongLong(), static_cast<qulonglong>(kDays));
    EXPECT_FALSE(view->BusyNote()->isVisible());

    const std::vector<analytics::VolHistoryDay> expected = home_->History();
    const std::vector<analytics::VolHistoryDay>& drawn = view->History()->Days();
    ASSERT_EQ(drawn.size(), expected.size());
    int premiums = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].date, expected[i].date);
        EXPECT_EQ(drawn[i].Cm30(), expected[i].Cm30()) << i;
        EXPECT_EQ(drawn[i].rv20, expected[i].rv20) << i;
        premiums += drawn[i].vrp20 ? 1 : 0;
    }
    EXPECT_GT(premiums, 10);
    EXPECT_EQ(view->History()->Marked(), kShown);
    const analytics::VolHistoryDay& day = expected[kShown];
    ASSERT_TRUE(day.iv_rank && day.iv_percentile && day.vrp20);
    const QString note = view->Note()->text();
    EXPECT_TRUE(note.contains(QString::fromStdString(home_->Day(kShown)))) << note.toStdString();
    EXPECT_TRUE(note.contains("IV rank: " + QString::number(*day.iv_rank, 'f', 1)))
        << note.toStdString();
    EXPECT_TRUE(note.contains("IV percentile: " + QString::number(*day.iv_percentile, 'f', 1)));
    EXPECT_TRUE(note.contains("Premium (VRP20): " + Percent(*day.vrp20)));

    // The cone is `vol --cone`'s of that day, its "today" the day's own term structure.
    const auto cone = analytics::VolConeOn(expected, day.date);
    const std::vector<analytics::ConeTenor>& bands = view->Cone()->Cone();
    ASSERT_EQ(bands.size(), cone.size());
    for (std::size_t k = 0; k < cone.size(); ++k) {
        EXPECT_EQ(bands[k].days, cone[k].days);
        EXPECT_EQ(bands[k].count, cone[k].count);
        EXPECT_EQ(bands[k].p10, cone[k].p10);
        EXPECT_EQ(bands[k].p90, cone[k].p90);
        EXPECT_EQ(bands[k].today, day.cm[k]);
    }
    Keep(view->grab().toImage(), "vol_memory.png");

    // Another day with the store in line: no build to show, and the mark moves.
    progressed.clear();
    view->Follow("EUR", home_->Day(kShown - 10));
    ASSERT_TRUE(WaitFor(shown, 2));
    EXPECT_EQ(progressed.count(), 0);
    EXPECT_EQ(view->History()->Marked(), kShown - 10);
    // The same day again computes nothing.
    view->Follow("EUR", home_->Day(kShown - 10));
    EXPECT_FALSE(view->Busy());
}

TEST_F(VolMemoryViewTest, AnUndefinedRankIsSaidToBeSoWithTheDaysItStillNeeds) {
    const std::vector<analytics::VolHistoryDay> history = home_->History();
    const auto view = ShownView();
    QSignalSpy shown(view.get(), &VolMemoryView::Shown);
    constexpr std::size_t kEarly = 6;
    view->Follow("EUR", home_->Day(kEarly));
    ASSERT_TRUE(WaitFor(shown));
    ASSERT_FALSE(history[kEarly].iv_rank);
    ASSERT_TRUE(history[kEarly].Cm30());
    std::size_t with_cm30 = 0;
    for (std::size_t i = 0; i <= kEarly; ++i) {
        with_cm30 += history[i].Cm30() ? 1 : 0;
    }
    const QString note = view->Note()->text();
    EXPECT_TRUE(note.contains(QString("IV rank: not defined: %1 of the 20 days").arg(with_cm30)))
        << note.toStdString();
    EXPECT_TRUE(note.contains("Realized 20 days: not defined")) << note.toStdString();
    // A 0 would read as the year's low.
    EXPECT_FALSE(note.contains("IV rank: 0")) << note.toStdString();
}

TEST_F(VolMemoryViewTest, AResultOvertakenByAnotherSymbolIsDropped) {
    std::filesystem::remove(home_->Store());
    const auto view = ShownView();
    QSignalSpy shown(view.get(), &VolMemoryView::Shown);
    view->Follow("EUR", home_->Day(30));
    // GBP has no quote file: its answer comes at once, while EUR's store is still being built.
    view->Follow("GBP", home_->Day(30));
    ASSERT_TRUE(WaitFor(shown));
    // EUR's computation ends soon after its store is written; its result then arrives and must
    // not show.
    const auto written = [] {
        const storage::Database store = storage::Database::OpenReadOnly(home_->Store());
        storage::Statement count = store.Prepare("SELECT COUNT(*) FROM days");
        return count.Step() && count.ColumnInt(0) == static_cast<std::int64_t>(kDays);
    };
    QElapsedTimer clock;
    clock.start();
    while (!written() && clock.elapsed() < 60000) {
        test::ProcessEventsFor(std::chrono::milliseconds(20));
    }
    test::ProcessEventsFor(std::chrono::milliseconds(500));
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(view->History()->Days().empty());
    EXPECT_TRUE(view->Note()->text().contains("GBP_data.lql: the quote rows cannot be read"))
        << view->Note()->text().toStdString();
}

TEST_F(VolMemoryViewTest, TheBoardShowsTheSymbolsVolatilityAcrossDaysWithArrows) {
    const common::ProgramFolder folder = home_->Folder();
    const settings::Settings settings = settings::DefaultSettings("EUR", folder);
    test::TempFolder config;
    test::FixedClock clock(common::ParseDate(home_->Day(kDays - 1), "%dd.%mm.%yyyy") + 86400);
    BoardViewServices services;
    services.folder = folder;
    services.config_folder = config.Path();
    services.clock = &clock;
    services.sources = [&] {
        return std::vector<analytics::BoardSource>{
            {analytics::AnalysisInput(settings, "EUR"), storage::QuotePath(folder, "EUR")}};
    };
    BoardView board(nullptr, std::move(services));
    board.resize(1400, 700);
    board.show();
    // The store built anew says so beside the title, naming the symbol.
    std::filesystem::remove(home_->Store());
    QSignalSpy progressed(&board, &BoardView::StoreProgressed);
    board.Refresh();
    test::WaitForViews();
    ASSERT_GE(progressed.count(), 2);
    EXPECT_EQ(progressed.last().at(0).toString(),
              QString("EUR: Volatility of %1 of %1 days…").arg(kDays));
    EXPECT_TRUE(board.StoreProgress()->text().isEmpty());
    QTableWidget* summary = board.Summary();
    ASSERT_EQ(summary->rowCount(), 1);
    const int columns = summary->columnCount();
    ASSERT_GT(columns, 3);
    EXPECT_EQ(summary->horizontalHeaderItem(columns - 3)->text(), "IV 30 days");
    EXPECT_EQ(summary->horizontalHeaderItem(columns - 2)->text(), "IV rank");
    EXPECT_EQ(summary->horizontalHeaderItem(columns - 1)->text(), "Premium (VRP20)");

    const analytics::SymbolBoard* eur = board.Board().Find("EUR");
    ASSERT_NE(eur, nullptr);
    ASSERT_TRUE(eur->volatility && eur->volatility->previous);
    const analytics::SymbolVolatility& figures = *eur->volatility;
    const struct {
        int column;
        std::size_t index;
        QString shown;
    } cells[] = {
        {columns - 3, 0, Percent(*figures.today.values[0])},
        {columns - 2, 1, QString::number(*figures.today.values[1], 'f', 1)},
        {columns - 1, 4, Percent(*figures.today.values[4])},
    };
    for (const auto& cell : cells) {
        const QString text = summary->item(0, cell.column)->text();
        const double change = *figures.ChangeOf(cell.index);
        EXPECT_EQ(text, cell.shown + (change > 0 ? " ▲" : change < 0 ? " ▼" : ""));
        EXPECT_TRUE(summary->item(0, cell.column)->toolTip().contains(" → " + cell.shown))
            << summary->item(0, cell.column)->toolTip().toStdString();
    }
}

}  // namespace
}  // namespace zarvex::ui
