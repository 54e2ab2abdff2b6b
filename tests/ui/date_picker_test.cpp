// The left panel's date picker takes a day only once it is committed: Enter, leaving the
// field, or a pick in the calendar popup. Typing and stepping through days calculate nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFocusEvent>
#include <QTest>
#include <algorithm>

#include "common/plain_host.h"
#include "common/text_table.h"
#include "storage/store.h"
#include "ui/gui_fixture.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

// Records the message boxes; while one is "open" the field loses the focus, as it does to a
// real box.
class FocusTakingMessages final : public common::MessageSink {
public:
    void ShowMessage(std::string_view title, std::string_view text) override {
        messages.push_back(std::string(title) + ": " + std::string(text));
        if (field != nullptr) {
            QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            QApplication::sendEvent(field, &out);
        }
    }

    QWidget* field = nullptr;
    std::vector<std::string> messages;
};

class DatePickerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new test::GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    void SetUp() override {
        analytics::LeftPanelServices services;
        services.host = plain_.AsHost(&texts_);
        services.host.messages = &messages_;
        services.folder = home_->Folder();
        services.clock = &clock_;
        panel_ = std::make_unique<LeftPanelWidget>(&window_, 761, 0, 0, 210, 600, texts_, services,
                                                   nullptr);
        analytics::LeftPanelSetup setup;
        setup.database_file = storage::QuotePath(home_->Folder(), "EUR");
        panel_->Build(analytics::AnalysisInput(), setup);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        messages_.field = Picker();
        ASSERT_EQ(panel_->Model().Date(), "06.12.2012");
    }

    QDateEdit* Picker() const { return panel_->DatePicker(); }

    // Calculations run so far: each starts with the basic indicators.
    long Calculations() const {
        const std::vector<std::string> statuses = plain_.StatusTexts();
        return std::count_if(statuses.begin(), statuses.end(), [](const std::string& status) {
            return status.rfind("Calculates of the basic indicators.", 0) == 0;
        });
    }

    // Types the digits of a day from its first section on, one key at a time (the field
    // moves on to the next section by itself), and checks that nothing is calculated and no
    // box appears meanwhile.
    void TypeDay(const QString& digits) {
        const long before = Calculations();
        Picker()->setFocus();
        Picker()->setSelectedSection(QDateTimeEdit::DaySection);
        for (QChar key : digits) {
            QTest::keyClick(Picker(), key.toLatin1());
            EXPECT_EQ(Calculations(), before) << "after " << key.toLatin1();
        }
        EXPECT_TRUE(messages_.messages.empty());
    }

    static test::GeneratedHome* home_;
    test::FixedClock clock_{test::GeneratedHome::kSecondDay + 86400};
    common::TextTable texts_{common::Language::kEnglish};
    common::PlainHost plain_;
    FocusTakingMessages messages_;
    QWidget window_;
    std::unique_ptr<LeftPanelWidget> panel_;
};

test::GeneratedHome* DatePickerTest::home_ = nullptr;

TEST_F(DatePickerTest, TypedDayIsCalculatedOnceOnEnter) {
    const long before = Calculations();
    TypeDay(QStringLiteral("05122012"));
    EXPECT_EQ(Picker()->text(), "05.12.2012");
    EXPECT_EQ(panel_->Model().Date(), "06.12.2012");
    QTest::keyClick(Picker(), Qt::Key_Return);
    EXPECT_EQ(panel_->Model().Date(), "05.12.2012");
    EXPECT_EQ(Calculations(), before + 1);
    EXPECT_TRUE(panel_->DayChosenByUser());
    // Leaving the field afterwards takes nothing new.
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Picker(), &out);
    EXPECT_EQ(Calculations(), before + 1);
}

TEST_F(DatePickerTest, WeekendDayShowsOneBoxWhenCommitted) {
    TypeDay(QStringLiteral("09122012"));
    QTest::keyClick(Picker(), Qt::Key_Enter);
    // The box takes the focus, which ends the editing once more: still one box.
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0],
              "Message: For the selected date there is no data.\rPlease try again...\r");
    EXPECT_EQ(Picker()->date(), QDate(2012, 12, 6));
    EXPECT_EQ(panel_->Model().Date(), "06.12.2012");
}

TEST_F(DatePickerTest, SteppedDayIsTakenWhenTheFieldIsLeft) {
    const long before = Calculations();
    Picker()->setFocus();
    Picker()->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(Picker(), Qt::Key_Down);
    QTest::keyClick(Picker(), Qt::Key_Down);
    QTest::keyClick(Picker(), Qt::Key_Up);
    EXPECT_EQ(Picker()->date(), QDate(2012, 12, 5));
    EXPECT_EQ(Calculations(), before);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Picker(), &out);
    EXPECT_EQ(panel_->Model().Date(), "05.12.2012");
    EXPECT_EQ(Calculations(), before + 1);
}

TEST_F(DatePickerTest, CalendarPopupTakesOnlyTheDayPicked) {
    const long before = Calculations();
    // The popup opens from the arrow at the field's right end.
    QTest::mouseClick(Picker(), Qt::LeftButton, {},
                      QPoint(Picker()->width() - 5, Picker()->height() / 2));
    QCalendarWidget* calendar = Picker()->calendarWidget();
    ASSERT_TRUE(calendar->window()->isVisible());
    // Walking over a weekend in the open calendar shows no box and calculates nothing.
    calendar->setSelectedDate(QDate(2012, 12, 8));
    calendar->setSelectedDate(QDate(2012, 12, 5));
    QApplication::processEvents();
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(Calculations(), before);
    emit calendar->clicked(QDate(2012, 12, 5));
    QApplication::processEvents();
    EXPECT_FALSE(calendar->window()->isVisible());
    EXPECT_EQ(panel_->Model().Date(), "05.12.2012");
    EXPECT_EQ(Calculations(), before + 1);
    EXPECT_TRUE(messages_.messages.empty());
}

}  // namespace
}  // namespace zarvex::ui
