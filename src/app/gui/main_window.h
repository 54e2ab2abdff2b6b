#pragma once

#include <QFont>
#include <QMargins>
#include <QRect>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/gui/notification_handler.h"
#include "common/clock.h"
#include "common/date.h"
#include "common/program_folder.h"
#include "ui/window_state.h"

class QLabel;
class QPushButton;

namespace zarvex::common {
class TextTable;
}
namespace zarvex::day {
class Instrument;
class InstrumentList;
}  // namespace zarvex::day

namespace zarvex::ui {
class AutoRepeat;
class BoardView;
class CanvasGrid;
class InputBlocker;
class InstrumentArea;
class StatusBar;
}  // namespace zarvex::ui

namespace zarvex::gui {

class DesktopNotifier;
class DataNotice;
class HelpLink;
class QtHost;

// The main window's outer frame on a screen whose free area (the screen without its task
// bars) is `available`: min(available, 1280 x 720), centred on that area.
QRect MainWindowFrame(QRect available);
// The inner rectangle of that frame, which the controls are laid out in, when the window
// manager's frame takes `frame` around it.
QRect MainWindowInner(QRect available, QMargins frame);

// The main window (number 60): the tool tab strip at the left, the area of the selected
// instrument, the status bar, the Property button and the Help link. Start-up builds it
// piece by piece; afterwards it serves the tabs, the Property button, the Help link, resizes
// and the workers' notifications.
class MainWindow final : public QWidget, public NotificationHandler {
    Q_OBJECT

public:
    static constexpr int kNumber = 60;
    static constexpr int kStatusBarNumber = 310;
    static constexpr int kTabStripNumber = 1210;
    static constexpr int kPropertyNumber = 260;
    static constexpr int kHelpLabelNumber = 1360;
    static constexpr int kHelpLinkNumber = 1310;
    // "Data source", left of Property; the status bar gives up its width.
    static constexpr int kDataSourceWidth = 100;
    static constexpr int kBusyText = 0xFF0000;
    static constexpr int kBusyBackground = 0xFFFFC8;
    // The tool strip's entry after the six instruments that shows the evening board.
    static constexpr int kBoardTab = 6;
    // Below this the histograms' labels and the panels' captions no longer fit.
    static constexpr int kMinWidth = 1100;
    static constexpr int kMinHeight = 660;

    // Opens the settings dialog of the instrument over the window; 1 when saved.
    using SettingsEditor = std::function<int(day::Instrument&, QWidget* parent)>;
    // The scheduler's current time, for the day runs of 560.
    using CurrentDay = std::function<common::Date()>;
    using UrlOpener = std::function<void(const QUrl&)>;
    using Action = std::function<void()>;

    MainWindow(QtHost& host, const common::TextTable& texts, ui::AutoRepeat* repeat);
    ~MainWindow() override;

    // The start-up steps, in their order. The window is first placed on the screen's free
    // area; once shown, it is fitted again when the window manager's frame becomes known.
    void PlaceOnScreen(QRect available);
    void CreatePropertyButton();
    void CreateDataSourceButton();
    void CreateStatusBar();
    void CreateTabStrip();
    void CreateInstruments(const common::ProgramFolder& folder, const common::Clock* clock);
    void FinishStartup();
    void CreateHelpLinks(const QFont& link_font, bool link_font_loaded);

    void SetSettingsEditor(SettingsEditor editor) { settings_editor_ = std::move(editor); }
    void SetCurrentDay(CurrentDay current_day) { current_day_ = std::move(current_day); }
    void SetUrlOpener(UrlOpener opener) { url_opener_ = std::move(opener); }
    void SetHelpPage(QUrl page) { help_page_ = std::move(page); }
    // What "Data source" / "Set data source…" and "Open demo data…" do.
    void SetDataSourceEditor(Action editor) { data_source_editor_ = std::move(editor); }
    void SetDemoOpener(Action opener) { demo_opener_ = std::move(opener); }

    // The one-line notice over the instrument area; the areas move down below it.
    void ShowNotice(const QString& text);
    void HideNotice();
    DataNotice* Notice() const { return notice_; }
    // Said in the status bar after the scheduler's text of a failed download (which ends with
    // the minutes of the retry); empty: nothing is added.
    void SetFailureReason(std::string reason) { failure_reason_ = std::move(reason); }
    // Whether a data source is set, so that the status bar may name the next download.
    void SetDownloading(bool downloading);

    // Where the window's state is kept; empty: nowhere (nothing is read or written).
    void SetStateFile(QString file) { state_file_ = std::move(file); }
    // After the instruments are made: the state of the file applied (instrument, contracts,
    // pages, compare choices, key-price lines, place), then shown, maximised when it was.
    void ShowWithState();
    // The window's state as it stands now, and written to the state file.
    ui::WindowState CurrentState() const;
    void SaveState() const;
    // Data of the latest stored day and when the next download is due, in the status bar.
    void ShowFreshness();
    // The right panel's next or previous page of the shown instrument (Ctrl+Tab).
    void StepPage(int direction);

    // NotificationHandler.
    void HandleStatus(const std::string& text, bool locked) override;
    void HandleHistograms(int instrument_index) override;
    void HandleDownloaded(common::DownloadedDays what) override;
    void HandleLock(bool locked) override;

    // E1, E2, E3.
    void SelectInstrument(int index);
    void EditSettings();
    void OpenHelp();
    // From the board: that instrument's panels on the contract and day.
    void ShowContract(int index, const QString& contract, common::Date day);

    ui::CanvasGrid* TabStrip() const { return tab_strip_; }
    ui::StatusBar* StatusBarControl() const { return status_bar_; }
    QPushButton* PropertyButton() const { return property_; }
    QPushButton* DataSourceButton() const { return data_source_; }
    QLabel* HelpLabel() const { return help_label_; }
    HelpLink* HelpLinkControl() const { return help_link_; }
    ui::InstrumentArea* Area(int index) const;
    ui::BoardView* Board() const { return board_; }
    day::InstrumentList* Instruments() const { return instruments_.get(); }
    ui::InputBlocker* Blocker() const { return blocker_; }
    bool IsInputBlocked() const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateBoard(const common::ProgramFolder& folder, const common::Clock* clock);
    int StatusHeight() const;
    int StripWidth() const;
    int StatusWidth() const;
    int NoticeHeight() const;
    void Relayout();
    QMargins FrameMargins() const;
    void FitFrameToScreen();
    // The place and size restored from the window's state, kept to the screens there are.
    void FitRestoredPlace();
    void AddShortcuts();
    int ShownInstrument() const;

    QtHost& host_;
    const common::TextTable& texts_;
    ui::AutoRepeat* repeat_;
    ui::InputBlocker* blocker_;
    QPushButton* property_ = nullptr;
    QPushButton* data_source_ = nullptr;
    DataNotice* notice_ = nullptr;
    std::string failure_reason_;
    bool downloading_ = true;
    Action data_source_editor_;
    Action demo_opener_;
    ui::StatusBar* status_bar_ = nullptr;
    ui::CanvasGrid* tab_strip_ = nullptr;
    QLabel* help_label_ = nullptr;
    HelpLink* help_link_ = nullptr;
    std::unique_ptr<day::InstrumentList> instruments_;
    std::array<ui::InstrumentArea*, 6> areas_{};
    ui::BoardView* board_ = nullptr;
    std::unique_ptr<DesktopNotifier> notifier_;
    bool window_locked_ = false;
    QRect available_;
    bool frame_fitted_ = false;
    bool restored_place_ = false;  // the window stands where its saved state put it
    int last_instrument_ = 0;      // the instrument shown last, kept while the Board is up
    SettingsEditor settings_editor_;
    CurrentDay current_day_;
    UrlOpener url_opener_;
    QUrl help_page_;
    QString state_file_;
};

}  // namespace zarvex::gui
