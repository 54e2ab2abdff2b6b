#pragma once

#include <QWidget>

#include "analytics/left_panel/left_panel_model.h"
#include "common/clock.h"
#include "common/host.h"
#include "day/instrument.h"
#include "ui/right_panel_widget.h"

class QLabel;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

class InputBlocker;
class LeftPanelWidget;
class RightPanelWidget;

// What an instrument's window area reaches outside itself.
struct InstrumentAreaServices {
    const common::TextTable* texts = nullptr;
    common::Host host;
    // 460 from the left panel after a change of day or contract.
    common::Notifier* notifier = nullptr;
    InputBlocker* blocker = nullptr;
    // Today for the left panel's search of the latest day; the computer's clock when null.
    const common::Clock* clock = nullptr;
};

// The window area of one instrument: a container with the left panel at (0, 0), 210 wide, and
// the right panel at (211, 0) taking the rest. It wraps the core instrument, whose stores and
// settings the panels work on.
class InstrumentArea final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLeftWidth = 210;
    static constexpr int kRightX = 211;

    // Builds the container and both panels, finds the day in the left panel and configures
    // the right panel with it.
    InstrumentArea(QWidget* parent, day::Instrument& instrument, int x, int y, int w, int h,
                   const InstrumentAreaServices& services);
    ~InstrumentArea() override;

    void Resize(int x, int y, int w, int h);
    // Shows and enables, or hides and disables, the area.
    void ShowArea();
    void HideArea();

    // The settings record was changed: the left panel calculates again what the change
    // touches, in the order level condition, fractal conditions, price type, forward-point
    // switch.
    void PassSettingsToLeftPanel();
    // Configures the right panel with the left panel's day and contract and the histogram
    // settings of the record (the rebuild of 460).
    void RebuildHistograms();
    // After a day run: a left panel whose day the user has not chosen shows the latest day
    // with data, which may be the one just processed, with its histograms.
    void FollowLatestDay();
    // The shown day calculated anew, with its histograms: after forward points arrived.
    void Recalculate();

    // Whether the "No days yet" state covers the panels: the quote database holds only its
    // seed row, so the panels would show a 2012 day that nobody downloaded.
    bool ShowsNoDays() const;

    day::Instrument& Instrument() { return instrument_; }
    LeftPanelWidget* LeftPanel() const { return left_; }
    RightPanelWidget* RightPanel() const { return right_; }

private:
    analytics::LeftPanelSetup LeftSetup() const;
    analytics::AnalysisInput LeftInput() const;
    void UpdateNoDays();
    // The left panel's CALL and PUT levels, borders and max pain as lines for the histograms.
    KeyPrices LeftKeyPrices() const;

    day::Instrument& instrument_;
    const common::TextTable* texts_;
    LeftPanelWidget* left_ = nullptr;
    RightPanelWidget* right_ = nullptr;
    QLabel* no_days_ = nullptr;
};

}  // namespace zarvex::ui
