#include "app/gui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QWindow>
#include <algorithm>

#include "acquisition/next_download.h"
#include "app/gui/data_notice.h"
#include "app/gui/desktop_notifier.h"
#include "app/gui/help_link.h"
#include "app/gui/qt_host.h"
#include "common/config_folder.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "ui/board/board_view.h"
#include "ui/canvas_grid.h"
#include "ui/chart/font_chain.h"
#include "ui/control_number.h"
#include "ui/history/compare_control.h"
#include "ui/input_blocker.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/right_panel_widget.h"
#include "ui/settings_dialog.h"
#include "ui/status_bar.h"
#include "ui/window_fit.h"

namespace zarvex::gui {
namespace {

namespace text = common::text;

constexpr int kStatusBarHeight = 22;
constexpr std::uint32_t kSelectedTab = 0x0000FF;
constexpr std::uint32_t kOtherTab = 0x000000;
// The scheduler reads the day at its daily start hour plus the monitor's five minutes.
constexpr std::int64_t kDownloadHour = 22;
constexpr std::int64_t kDownloadDelayMinutes = 5;

}  // namespace

QRect MainWindowFrame(QRect available) {
    const QSize size(std::min(available.width(), 1280), std::min(available.height(), 720));
    return {available.x() + (available.width() - size.width()) / 2,
            available.y() + (available.height() - size.height()) / 2, size.width(), size.height()};
}

QRect MainWindowInner(QRect available, QMargins frame) {
    return MainWindowFrame(available).marginsRemoved(frame);
}

MainWindow::MainWindow(QtHost& host, const common::TextTable& texts, ui::AutoRepeat* repeat)
    : QWidget(nullptr),
      host_(host),
      texts_(texts),
      repeat_(repeat),
      blocker_(new ui::InputBlocker(this)),
      url_opener_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    ui::SetControlNumber(this, kNumber);
    setWindowTitle(QStringLiteral("Zarvex ver.2.17"));
    setMinimumSize(kMinWidth, kMinHeight);
    AddShortcuts();
}

void MainWindow::AddShortcuts() {
    // Ctrl+1 ... Ctrl+6: the instruments in the strip's order.
    for (int i = 0; i < 6; ++i) {
        auto* key =
            new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)), this);
        connect(key, &QShortcut::activated, this, [this, i] {
            if (!IsInputBlocked()) {
                SelectInstrument(i);
            }
        });
    }
    // Ctrl+7: the Board, the entry after them.
    auto* board = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_7), this);
    connect(board, &QShortcut::activated, this, [this] {
        if (!IsInputBlocked()) {
            SelectInstrument(kBoardTab);
        }
    });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    auto* previous_plain = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] { StepPage(1); });
    connect(previous, &QShortcut::activated, this, [this] { StepPage(-1); });
    connect(previous_plain, &QShortcut::activated, this, [this] { StepPage(-1); });
}

int MainWindow::ShownInstrument() const {
    for (int i = 0; i < static_cast<int>(areas_.size()); ++i) {
        if (areas_[static_cast<std::size_t>(i)] != nullptr &&
            !areas_[static_cast<std::size_t>(i)]->isHidden()) {
            return i;
        }
    }
    return 0;
}

void MainWindow::StepPage(int direction) {
    ui::InstrumentArea* area = Area(ShownInstrument());
    if (area == nullptr || IsInputBlocked()) {
        return;
    }
    QTabWidget* tabs = area->RightPanel()->Tabs();
    const int count = tabs->count();
    tabs->setCurrentIndex(((tabs->currentIndex() + direction) % count + count) % count);
}

ui::WindowState MainWindow::CurrentState() const {
    ui::WindowState state;
    state.maximised = isMaximized();
    state.geometry = saveGeometry();
    state.board = board_ != nullptr && !board_->isHidden();
    // Under the Board every area is hidden: the instrument is the one shown before it.
    state.instrument = state.board ? last_instrument_ : ShownInstrument();
    for (std::size_t i = 0; i < areas_.size(); ++i) {
        const ui::InstrumentArea* area = areas_[i];
        if (area == nullptr) {
            continue;
        }
        ui::InstrumentViewState& shown = state.instruments[i];
        shown.contract = area->LeftPanel()->Model().Contract();
        shown.tab = area->RightPanel()->Tabs()->currentIndex();
        shown.compare = area->RightPanel()->Compare()->ChoiceText();
        state.key_price_lines = area->RightPanel()->KeyPriceLinesShown();
        state.density_curve = area->RightPanel()->DensityShown();
    }
    return state;
}

void MainWindow::SaveState() const {
    if (!state_file_.isEmpty()) {
        ui::SaveWindowState(state_file_, CurrentState());
    }
}

void MainWindow::ShowWithState() {
    const ui::WindowState state = ui::LoadWindowState(state_file_);
    for (std::size_t i = 0; i < areas_.size(); ++i) {
        ui::InstrumentArea* area = areas_[i];
        if (area == nullptr) {
            continue;
        }
        const ui::InstrumentViewState& kept = state.instruments[i];
        area->RightPanel()->SetKeyPriceLinesShown(state.key_price_lines);
        area->RightPanel()->SetDensityShown(state.density_curve);
        // The date is always the latest day with data; the contract follows when that day
        // holds it.
        if (!kept.contract.empty() && kept.contract != area->LeftPanel()->Model().Contract()) {
            area->LeftPanel()->PickContract(kept.contract);
        }
        area->RightPanel()->Compare()->ChooseText(kept.compare);
        area->RightPanel()->Tabs()->setCurrentIndex(kept.tab);
        connect(area->RightPanel(), &ui::RightPanelWidget::KeyPriceLinesSwitched, this,
                [this](bool shown) {
                    for (ui::InstrumentArea* other : areas_) {
                        if (other != nullptr) {
                            other->RightPanel()->SetKeyPriceLinesShown(shown);
                        }
                    }
                });
        connect(area->RightPanel(), &ui::RightPanelWidget::DensitySwitched, this,
                [this](bool shown) {
                    for (ui::InstrumentArea* other : areas_) {
                        if (other != nullptr) {
                            other->RightPanel()->SetDensityShown(shown);
                        }
                    }
                });
    }
    SelectInstrument(state.instrument);
    if (state.board) {
        SelectInstrument(kBoardTab);
    }
    ShowFreshness();
    if (!state.geometry.isEmpty() && restoreGeometry(state.geometry)) {
        restored_place_ = true;
        FitRestoredPlace();
    }
    if (state.maximised) {
        showMaximized();
    } else {
        show();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveState();
    QWidget::closeEvent(event);
}

void MainWindow::ShowFreshness() {
    if (status_bar_ == nullptr) {
        return;
    }
    // A quote file that could not be read is named first: the panels may show part of it.
    std::string fault;
    for (const ui::InstrumentArea* area : areas_) {
        if (area != nullptr && fault.empty()) {
            fault = area->LeftPanel()->Model().DatabaseFaultLine();
        }
    }
    common::Date latest = common::kInvalidDate;
    for (const ui::InstrumentArea* area : areas_) {
        // The seed row of a new database is no day that anybody downloaded.
        if (area == nullptr || area->ShowsNoDays()) {
            continue;
        }
        const std::vector<common::Date> days = area->LeftPanel()->Model().DaysWithData();
        if (!days.empty()) {
            latest = std::max(latest, days.back());
        }
    }
    if (latest == common::kInvalidDate) {
        status_bar_->SetNote(QString::fromStdString(fault));
        return;
    }
    std::string note = (fault.empty() ? std::string() : fault + "   ") + texts_.Get(text::kDataOf) +
                       common::DayText(latest);
    // Without a data source nothing is downloaded, so no time of a next download is promised.
    if (downloading_) {
        const common::Date due =
            acquisition::NextDownloadDue(latest, kDownloadHour, kDownloadDelayMinutes);
        note += "   " + texts_.Get(text::kNextDownload) +
                common::FormatDate(due, "%dd.%mm.%yyyy %hh:%ii");
    }
    status_bar_->SetNote(QString::fromStdString(note));
}

void MainWindow::SetDownloading(bool downloading) {
    downloading_ = downloading;
    ShowFreshness();
}

MainWindow::~MainWindow() {
    // The areas hold references into the instruments: they go first.
    for (ui::InstrumentArea*& area : areas_) {
        delete area;
        area = nullptr;
    }
}

void MainWindow::PlaceOnScreen(QRect available) {
    available_ = available;
    frame_fitted_ = false;
    FitFrameToScreen();
}

QMargins MainWindow::FrameMargins() const {
    const QWindow* window = windowHandle();
    return window != nullptr ? window->frameMargins() : QMargins();
}

void MainWindow::FitFrameToScreen() {
    const QMargins frame = FrameMargins();
    resize(MainWindowInner(available_, frame).size());
    // A window's position is that of its frame.
    move(MainWindowFrame(available_).topLeft());
    frame_fitted_ = !frame.isNull();
}

void MainWindow::FitRestoredPlace() {
    // The user's own place, but kept to the screens there are now: the file may come from
    // another set of screens, or from anyone, and a window off screen or larger than every
    // screen is no window at all (and a huge one costs its size in memory). The frame, once it
    // is known, stays on the screen too.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    const QMargins frame = FrameMargins();
    const QRect fitted =
        ui::FitToScreens(geometry().marginsAdded(frame), screens, minimumSize().grownBy(frame))
            .marginsRemoved(frame);
    // A screen smaller than the window's least size gets a window of the screen's size.
    setMinimumSize(minimumSize().boundedTo(fitted.size()));
    setGeometry(fitted);
    frame_fitted_ = !frame.isNull();
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The window manager frames the window only once it is on screen; the first time the
    // frame is known, the window is fitted again so that the frame stays within the screen's
    // free area (the status bar above the task bar).
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            if (!frame_fitted_ && !available_.isNull() && isVisible() &&
                windowState() == Qt::WindowNoState && !FrameMargins().isNull()) {
                restored_place_ ? FitRestoredPlace() : FitFrameToScreen();
            }
            break;
        default:
            break;
    }
    return handled;
}

void MainWindow::CreatePropertyButton() {
    property_ = new QPushButton(QString::fromStdString(texts_.Get(text::kProperty)), this);
    ui::SetControlNumber(property_, kPropertyNumber);
    property_->setGeometry(width() - 80, height() - 22, 80, 22);
    property_->hide();
    connect(property_, &QPushButton::clicked, this, [this] { EditSettings(); });
}

void MainWindow::CreateDataSourceButton() {
    data_source_ = new QPushButton(QString::fromStdString(texts_.Get(text::kDataSource)), this);
    data_source_->setObjectName(QStringLiteral("dataSource"));
    data_source_->setGeometry(width() - 80 - 1 - kDataSourceWidth, height() - 22, kDataSourceWidth,
                              22);
    data_source_->hide();
    connect(data_source_, &QPushButton::clicked, this, [this] {
        if (data_source_editor_) {
            data_source_editor_();
        }
    });
}

void MainWindow::ShowNotice(const QString& notice_text) {
    if (notice_ == nullptr) {
        notice_ = new DataNotice(texts_, this);
        connect(notice_, &DataNotice::setSourceRequested, this, [this] {
            if (data_source_editor_) {
                data_source_editor_();
            }
        });
        connect(notice_, &DataNotice::demoRequested, this, [this] {
            if (demo_opener_) {
                demo_opener_();
            }
        });
    }
    notice_->SetText(notice_text);
    notice_->show();
    notice_->raise();
    Relayout();
}

void MainWindow::HideNotice() {
    if (notice_ != nullptr && !notice_->isHidden()) {
        notice_->hide();
        Relayout();
    }
}

int MainWindow::NoticeHeight() const {
    return notice_ != nullptr && !notice_->isHidden() ? DataNotice::kHeight : 0;
}

int MainWindow::StatusWidth() const {
    return width() - 81 - (data_source_ != nullptr ? kDataSourceWidth + 1 : 0);
}

void MainWindow::CreateStatusBar() {
    status_bar_ = new ui::StatusBar(this, kStatusBarNumber, 0, 0, StatusWidth(), kStatusBarHeight);
    status_bar_->hide();
    status_bar_->SetLabel(QString::fromStdString(texts_.Get(text::kProgramStatus)));
    status_bar_->SetStatus(QString::fromStdString(texts_.Get(text::kStartupSuccessful) +
                                                  texts_.Get(text::kProgramReady)));
}

void MainWindow::CreateTabStrip() {
    tab_strip_ = new ui::CanvasGrid(this, repeat_, 16);
    ui::SetControlNumber(tab_strip_, kTabStripNumber);
    tab_strip_->setGeometry(0, 0, 1, height() - StatusHeight());
    for (std::string_view symbol : day::InstrumentList::kSymbols) {
        tab_strip_->AddItem(
            ui::CanvasGrid::kAppend,
            QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())));
    }
    tab_strip_->AddItem(ui::CanvasGrid::kAppend, QString::fromStdString(texts_.Get(text::kBoard)));
    tab_strip_->SetFlag(ui::CanvasGrid::kSingleSelection, true, false);
    tab_strip_->SetFlag(ui::CanvasGrid::kFitToContent, true, true);
    tab_strip_->SetItemState(0, ui::CanvasGrid::kSelected, ui::CanvasGrid::kSelected);
    tab_strip_->SetGridFont(ui::MakeFont(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
        8, true));
    tab_strip_->hide();
    connect(tab_strip_, &ui::CanvasGrid::itemClicked, this,
            [this](int index) { SelectInstrument(index); });
}

void MainWindow::CreateInstruments(const common::ProgramFolder& folder,
                                   const common::Clock* clock) {
    instruments_ = std::make_unique<day::InstrumentList>(folder, host_.AsHost());
    ui::InstrumentAreaServices services;
    services.texts = &texts_;
    services.host = host_.AsHost();
    services.notifier = &host_;
    services.blocker = blocker_;
    services.clock = clock;
    const int x = StripWidth();
    for (int i = 0; i < day::InstrumentList::kCount; ++i) {
        auto* area =
            new ui::InstrumentArea(this, instruments_->At(i), x, NoticeHeight(), width() - x,
                                   height() - StatusHeight() - NoticeHeight(), services);
        area->HideArea();
        areas_[static_cast<std::size_t>(i)] = area;
        host_.PumpEvents();
    }
    CreateBoard(folder, clock);
}

void MainWindow::CreateBoard(const common::ProgramFolder& folder, const common::Clock* clock) {
    ui::BoardViewServices services;
    services.texts = &texts_;
    services.host = host_.AsHost();
    services.folder = folder;
    services.config_folder = common::UserConfigFolder();
    services.clock = clock;
    services.sources = [this] {
        std::vector<analytics::BoardSource> sources;
        for (int i = 0; i < day::InstrumentList::kCount; ++i) {
            const settings::InstrumentStores& stores = instruments_->At(i).Stores();
            sources.push_back({analytics::AnalysisInput(stores.settings.Values(), stores.symbol),
                               stores.quote_path});
        }
        return sources;
    };
    const int x = StripWidth();
    board_ = new ui::BoardView(this, std::move(services));
    board_->setGeometry(x, 0, width() - x, height() - StatusHeight());
    board_->hide();
    connect(board_, &ui::BoardView::ShowContract, this,
            [this](int index, const QString& contract, qint64 day) {
                ShowContract(index, contract, day);
            });
    // Every day run ends with the board, the levels feed and the alerts; fired alerts go to
    // the desktop as well as the status bar.
    notifier_ = std::make_unique<DesktopNotifier>(
        [this](const day::EveningReport&) {
            if (board_->isVisible()) {
                board_->Refresh();
            }
        },
        [this](const QString& status) { HandleStatus(status.toStdString(), false); },
        QString::fromStdString(texts_.Get(text::kBoardNotificationsOff)));
    instruments_->SetEvening(common::UserConfigFolder(), notifier_.get());
}

void MainWindow::FinishStartup() {
    if (areas_[0] != nullptr) {
        areas_[0]->ShowArea();
    }
    if (tab_strip_ != nullptr) {
        tab_strip_->SetItemColour(0, ui::CanvasGrid::kTextColour, kSelectedTab);
        tab_strip_->show();
    }
    if (status_bar_ != nullptr) {
        status_bar_->show();
    }
    if (property_ != nullptr) {
        property_->show();
    }
    if (data_source_ != nullptr) {
        data_source_->show();
    }
}

void MainWindow::CreateHelpLinks(const QFont& link_font, bool link_font_loaded) {
    const QString caption = QString::fromStdString(texts_.Get(text::kHelp));
    help_label_ = new QLabel(caption, this);
    ui::SetControlNumber(help_label_, kHelpLabelNumber);
    help_label_->setGeometry(width() - 170, 2, 45, 15);
    QPalette blue = help_label_->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    help_label_->setPalette(blue);
    if (link_font_loaded) {
        help_label_->setFont(link_font);
    }
    help_label_->show();
    help_link_ = new HelpLink(caption, this);
    ui::SetControlNumber(help_link_, kHelpLinkNumber);
    help_link_->setGeometry(width() - 170, 2, 45, 15);
    help_link_->show();
    help_link_->raise();
    connect(help_link_, &HelpLink::activated, this, [this] { OpenHelp(); });
}

ui::InstrumentArea* MainWindow::Area(int index) const {
    if (index < 0 || index >= static_cast<int>(areas_.size())) {
        return nullptr;
    }
    return areas_[static_cast<std::size_t>(index)];
}

int MainWindow::StatusHeight() const {
    return status_bar_ != nullptr ? status_bar_->height() : kStatusBarHeight;
}

int MainWindow::StripWidth() const {
    return tab_strip_ != nullptr ? tab_strip_->width() : 0;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void MainWindow::Relayout() {
    const int w = width();
    const int h = height();
    if (property_ != nullptr) {
        property_->setGeometry(w - 80, h - 22, 80, 22);
    }
    if (data_source_ != nullptr) {
        data_source_->setGeometry(w - 80 - 1 - kDataSourceWidth, h - 22, kDataSourceWidth, 22);
    }
    if (status_bar_ != nullptr) {
        status_bar_->Resize(StatusWidth());
    }
    if (tab_strip_ != nullptr) {
        tab_strip_->resize(tab_strip_->width(), h - StatusHeight());
        tab_strip_->Redraw();
    }
    const int top = NoticeHeight();
    if (top > 0) {
        // It ends before the Help link, which keeps its place at the top right.
        notice_->setGeometry(StripWidth(), 0, std::max(1, w - 174 - StripWidth()), top);
    }
    for (ui::InstrumentArea* area : areas_) {
        if (area != nullptr) {
            area->Resize(StripWidth(), top, w - StripWidth(), h - StatusHeight() - top);
        }
    }
    if (board_ != nullptr) {
        board_->setGeometry(StripWidth(), 0, w - StripWidth(), h - StatusHeight());
    }
    for (QLabel* help : {help_label_, static_cast<QLabel*>(help_link_)}) {
        if (help != nullptr) {
            help->setGeometry(w - 170, 2, 45, 15);
        }
    }
}

void MainWindow::SelectInstrument(int index) {
    const bool board = index == kBoardTab && board_ != nullptr;
    if (tab_strip_ == nullptr || (Area(index) == nullptr && !board)) {
        return;
    }
    for (int i = 0; i < tab_strip_->ItemCount(); ++i) {
        tab_strip_->SetItemColour(i, ui::CanvasGrid::kTextColour, kOtherTab);
        tab_strip_->SetItemState(i, i == index ? ui::CanvasGrid::kSelected : 0u,
                                 ui::CanvasGrid::kSelected);
    }
    tab_strip_->SetItemColour(index, ui::CanvasGrid::kTextColour, kSelectedTab);
    for (ui::InstrumentArea* area : areas_) {
        area->HideArea();
    }
    if (board) {
        board_->show();
        board_->raise();
        board_->Refresh();
        return;
    }
    if (board_ != nullptr) {
        board_->hide();
    }
    last_instrument_ = index;
    Area(index)->ShowArea();
}

void MainWindow::ShowContract(int index, const QString& contract, common::Date day) {
    ui::InstrumentArea* area = Area(index);
    if (area == nullptr || tab_strip_ == nullptr) {
        return;
    }
    SelectInstrument(index);
    area->LeftPanel()->PickDay(day);
    area->LeftPanel()->PickContract(contract.toStdString());
}

void MainWindow::EditSettings() {
    if (tab_strip_ == nullptr) {
        return;
    }
    const int index = tab_strip_->State(ui::CanvasGrid::kQuerySelected);
    ui::InstrumentArea* area = Area(index);
    if (area == nullptr) {
        return;
    }
    day::Instrument& instrument = area->Instrument();
    int result = 0;
    if (settings_editor_) {
        result = settings_editor_(instrument, this);
    } else {
        ui::SettingsDialog dialog(instrument.Settings(), instrument.Folder(), texts_, &host_,
                                  ui::ChooseFolderWithSystemDialog, this);
        result = dialog.Run();
    }
    area->PassSettingsToLeftPanel();
    if (result == 1) {
        HandleHistograms(index);
    }
}

void MainWindow::OpenHelp() {
    if (url_opener_ && help_page_.isValid()) {
        url_opener_(help_page_);
    }
}

void MainWindow::HandleStatus(const std::string& status_text, bool locked) {
    if (status_bar_ == nullptr) {
        return;
    }
    if (locked) {
        status_bar_->SetStatusColours(kBusyBackground, kBusyText);
    } else {
        status_bar_->SetStatusColours(ui::StatusBar::kDefaultBackground, 0x000000);
    }
    std::string shown = " " + status_text;
    if (!failure_reason_.empty() && common::EndsWith(status_text, texts_.Get(text::kMinutes))) {
        shown += " " + failure_reason_;
    }
    status_bar_->SetStatus(QString::fromStdString(shown));
}

void MainWindow::HandleHistograms(int instrument_index) {
    if (ui::InstrumentArea* area = Area(instrument_index)) {
        area->RebuildHistograms();
    }
}

void MainWindow::HandleDownloaded(common::DownloadedDays what) {
    // A run that failed has said why in the status bar; its days still move the panels.
    if (instruments_ == nullptr ||
        !instruments_->OnDownloaded(what, current_day_ ? current_day_() : common::kInvalidDate)
             .has_value()) {
        return;
    }
    // Panels left on the latest day move on to the days just processed.
    for (ui::InstrumentArea* area : areas_) {
        if (area != nullptr) {
            area->FollowLatestDay();
        }
    }
    ShowFreshness();
}

void MainWindow::HandleLock(bool locked) {
    if (locked == window_locked_) {
        return;
    }
    window_locked_ = locked;
    if (locked) {
        blocker_->Block(this);
    } else {
        blocker_->Unblock(this);
        // The text left from the locked time is not busy any more.
        if (status_bar_ != nullptr) {
            status_bar_->SetStatusColours(ui::StatusBar::kDefaultBackground, 0x000000);
        }
    }
}

bool MainWindow::IsInputBlocked() const {
    return blocker_->IsBlocked(this);
}

}  // namespace zarvex::gui
