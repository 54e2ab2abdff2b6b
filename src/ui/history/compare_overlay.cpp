#include "ui/history/compare_overlay.h"

#include <utility>

namespace zarvex::ui {

CompareOverlay::CompareOverlay(const storage::Database& quote, common::ProgramFolder folder,
                               common::Host host)
    : quote_(&quote), folder_(std::move(folder)), host_(host) {}

void CompareOverlay::Invalidate() {
    for (auto& arrays : arrays_) {
        arrays.reset();
    }
}

const analytics::CompareArrays* CompareOverlay::Arrays(const analytics::RightPanelModel& model,
                                                       int n, const std::string& other_date) {
    if (n < 1 || n > 4 || !model.IsBuilt(n)) {
        return nullptr;
    }
    if (other_date != other_date_) {
        Invalidate();
        other_date_ = other_date;
    }
    auto& cached = arrays_[static_cast<std::size_t>(n - 1)];
    if (!cached) {
        const analytics::RightPanelDay& day = model.Day();
        const settings::HistogramSettings& histogram = model.HistogramSettingsOf(n);
        const analytics::RightPanelDay other =
            analytics::ResolveRightPanelDay(folder_, day.symbol, other_date, day.contract,
                                            model.Input().ForwardPointSwitch(), host_);
        const storage::Database& shown_rows =
            shown_slice_.Select(*quote_, day.date, day.contract).RowsFor(histogram.bar_cond);
        const storage::Database& other_rows =
            other_slice_.Select(*quote_, other.date, other.contract).RowsFor(histogram.bar_cond);
        cached = analytics::CompareHistogram(shown_rows, other_rows, day, other, histogram,
                                             model.Histogram(n), host_);
        ++computations_;
    }
    return &*cached;
}

}  // namespace zarvex::ui
