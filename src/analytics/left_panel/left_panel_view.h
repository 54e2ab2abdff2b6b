#pragma once

#include <string>
#include <vector>

#include "analytics/left_panel/left_panel_cells.h"
#include "common/date.h"

namespace zarvex::analytics {

// What a left panel on screen gets told while the model works. Every call comes on the
// thread that drives the model; the defaults do nothing, so a host without a screen (the
// command line, tests) passes no view at all.
class LeftPanelView {
public:
    virtual ~LeftPanelView() = default;

    // The panel lock: the panel's controls are disabled while a calculation runs.
    virtual void SetPanelEnabled(bool /*enabled*/) {}
    // The date picker shows this day (common::kInvalidDate: no day with data).
    virtual void ShowDate(common::Date /*day*/) {}
    // The contract drop-down holds these entries; `selected` is the index shown (-1: none).
    virtual void ShowContracts(const std::vector<std::string>& /*contracts*/, int /*selected*/) {}
    // The cells were written (filled or cleared); `cells` is what they hold now.
    virtual void ShowCells(const LeftPanelCells& /*cells*/) {}
};

}  // namespace zarvex::analytics
