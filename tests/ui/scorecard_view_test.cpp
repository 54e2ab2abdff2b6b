#include "ui/scorecard/scorecard_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <cstdlib>

#include "app/gui/main_window.h"
#include "common/calendar.h"
#include "common/text.h"
#include "common/text_table.h"
#include "reportgen/report_generator.h"
#include "storage/statement.h"
#include "storage/store.h"
#include "support/temp_folder.h"
#include "ui/gui_fixture.h"
#include "ui/instrument_area.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"
#include "ui/scorecard/scorecard_chart.h"

namespace zarvex::ui {
namespace {

// Ten weeks of generated EUR days, stored as the extraction stores them.
void StoreGeneratedDays(const std::filesystem::path& file) {
    const storage::Database db = storage::OpenStore(file, storage::StoreKind::kQuote).db;
    ASSERT_TRUE(db.Execute("Begin Transaction"));
    storage::Statement insert = db.Prepare(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, contract, "
        "expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const reportgen::ReportGenerator generator({.seed = 5, .strikes = 16});
    for (common::Date day = common::MakeDate(2025, 10, 1); day <= common::MakeDate(2025, 12, 12);
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
            ASSERT_TRUE(insert.Run());
        }
    }
    ASSERT_TRUE(db.Execute("Commit"));
}

class ScorecardViewTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    common::TextTable texts_{common::Language::kEnglish};
    test::TempProgramFolder home_;
    settings::Settings settings_;
};

TEST_F(ScorecardViewTest, ComputesOffTheWindowThreadAndTellsTheCountsInItsTooltips) {
    const auto file = storage::QuotePath(home_.Folder(), "EUR");
    StoreGeneratedDays(file);
    ScorecardView view(nullptr, texts_);
    view.resize(900, 640);
    view.show();
    QSignalSpy shown(&view, &ScorecardView::Shown);
    QSignalSpy progressed(&view, &ScorecardView::Progressed);
    view.Follow(home_.Folder(), settings_, "EUR");
    // The window's thread is free while it computes, and the page says what it is doing: first
    // the volatility store's build of this folder, day by day, then the card.
    EXPECT_EQ(view.Summary()->text(), "Computing the scorecard…");
    ASSERT_TRUE(shown.wait(60000));
    ASSERT_GE(progressed.count(), 2);
    EXPECT_EQ(progressed.first().at(0).toULongLong(), 0u);
    EXPECT_EQ(progressed.last().at(0), progressed.last().at(1));
    ASSERT_TRUE(view.Chart()->Card());
    EXPECT_TRUE(view.Summary()->text().contains(" cases from "))
        << view.Summary()->text().toStdString();
    EXPECT_TRUE(view.Summary()->text().contains("says little"));

    // Somewhere over the bars of the upper half a tooltip names what held and how often.
    bool held = false;
    const QSize size = view.Chart()->size();
    for (int x = 0; x < size.width() && !held; x += 4) {
        for (int y = 0; y < size.height() / 2 && !held; y += 4) {
            held = view.Chart()->TipAt(QPointF(x, y)).contains(" of ");
        }
    }
    EXPECT_TRUE(held);
    if (const char* picture = std::getenv("ZARVEX_SCORECARD_PICTURE")) {
        view.grab().save(QString::fromLocal8Bit(picture));
    }

    // The same file again: nothing to compute.
    view.Follow(home_.Folder(), settings_, "EUR");
    EXPECT_FALSE(view.Computing());
}

TEST_F(ScorecardViewTest, AFileItCannotReadIsNamed) {
    const auto file = storage::QuotePath(home_.Folder(), "EUR");
    {
        storage::Database db = storage::OpenStore(file, storage::StoreKind::kQuote).db;
        ASSERT_TRUE(db.Execute("DROP TABLE dating"));
        ASSERT_TRUE(db.Execute("CREATE TABLE dating (x)"));
    }
    ScorecardView view(nullptr, texts_);
    view.resize(600, 400);
    view.show();
    QSignalSpy shown(&view, &ScorecardView::Shown);
    view.Follow(home_.Folder(), settings_, "EUR");
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_TRUE(view.Summary()->text().startsWith("The scorecard could not be made: "));
    EXPECT_TRUE(view.Summary()->text().contains("EUR_data.lql"));
    EXPECT_FALSE(view.Chart()->Card());
}

TEST(ScorecardSteps, RoundStepsFromZeroThatReachTheHighest) {
    const std::vector<double> small = ValueSteps(0.0034);
    ASSERT_EQ(small.size(), 5U);
    EXPECT_NEAR(small[1], 0.001, 1e-15);
    EXPECT_NEAR(small.back(), 0.004, 1e-15);
    const std::vector<double> steps = ValueSteps(0.9);
    EXPECT_EQ(steps.front(), 0.0);
    EXPECT_GE(steps.back(), 0.9);
    EXPECT_NEAR(steps[1], 0.25, 1e-12);
    EXPECT_EQ(ValueSteps(0.0), (std::vector<double>{0.0, 1.0}));
}

TEST(ScorecardPage, StandsInTheRightPanelAfterVolatility) {
    test::EnsureQtApplication();
    const test::GeneratedHome home;
    test::StartedProgram program(home.Folder());
    RightPanelWidget* panel = program.Window().Area(0)->RightPanel();
    EXPECT_EQ(panel->Tabs()->tabText(4), "Scorecard");
    EXPECT_EQ(panel->Tabs()->widget(4), panel->Scorecard());
}

}  // namespace
}  // namespace zarvex::ui
