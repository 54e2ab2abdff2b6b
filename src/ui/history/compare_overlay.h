#pragma once

#include <array>
#include <optional>
#include <string>

#include "analytics/history/compare_histogram.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/right_panel/right_panel_model.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "storage/database.h"

namespace zarvex::ui {

// The other day's values of the four histograms, computed when a chart first needs them and
// kept until the configuration or the other day changes: switching the overlay off and on
// again redraws from memory.
class CompareOverlay final {
public:
    CompareOverlay(const storage::Database& quote, common::ProgramFolder folder, common::Host host);

    // A new configuration of the panel (day, contract or settings): every array is stale.
    void Invalidate();
    // Histogram n (1..4) of the model compared with other_date ("dd.mm.yyyy"); null when n
    // is not built yet.
    const analytics::CompareArrays* Arrays(const analytics::RightPanelModel& model, int n,
                                           const std::string& other_date);
    // How many times arrays were computed (not taken from memory).
    int Computations() const { return computations_; }

private:
    const storage::Database* quote_;
    common::ProgramFolder folder_;
    common::Host host_;
    analytics::DaySlice shown_slice_;
    analytics::DaySlice other_slice_;
    std::string other_date_;
    std::array<std::optional<analytics::CompareArrays>, 4> arrays_;
    int computations_ = 0;
};

}  // namespace zarvex::ui
