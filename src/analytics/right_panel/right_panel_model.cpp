#include "analytics/right_panel/right_panel_model.h"

#include <utility>

#include "analytics/right_panel/histogram_build.h"
#include "analytics/right_panel/right_panel_texts.h"

namespace zarvex::analytics {

namespace {

const HistogramData kNoHistogram;
const std::string kNoCaption;

}  // namespace

RightPanelModel::RightPanelModel(const storage::Database& quote, common::ProgramFolder folder,
                                 common::Host host)
    : quote_(&quote), folder_(std::move(folder)), host_(host) {}

void RightPanelModel::Configure(const AnalysisInput& input) {
    const std::uint64_t generation = ++generation_;
    input_ = input;
    // The queries bind the day as the quote rows store it.
    const std::string date =
        input.day == common::kInvalidDate ? std::string() : common::DayText(input.day);
    day_ = ResolveRightPanelDay(folder_, input.symbol, date, input.contract,
                                input.ForwardPointSwitch(), host_);
    for (int i = 0; i < kHistogramCount; ++i) {
        const int entry = HistogramCaptionEntry(input.Settings().histograms[i].param);
        captions_[i] = entry < 0 ? std::string() : host_.Text(entry);
        // A new day or contract never shows the bars of the previous one.
        histograms_[i].reset();
        built_[i] = false;
    }
    common::Result<OptionTables> tables =
        FillOptionTables(DayRows(""), day_.date, day_.contract, host_);
    if (generation != generation_) {
        return;
    }
    tables_fault_ = tables.Reason();
    tables_ = tables ? std::move(tables).Value() : OptionTables();
    if (!tables_fault_.empty() && quote_->IsOpen()) {
        // Empty tables would read as a day without options.
        host_.ShowStatus(tables_fault_);
    }
    BuildHistogram(1);
}

bool RightPanelModel::BuildHistogram(int n) {
    if (!ValidNumber(n)) {
        return false;
    }
    // The build pumps events after every row, and a pumped click may configure the panel
    // anew: the build works on its own copies, and its result is dropped when it belongs to a
    // configuration that has been replaced meanwhile.
    const std::uint64_t generation = generation_;
    const RightPanelDay day = day_;
    const settings::HistogramSettings histogram = HistogramSettingsOf(n);
    HistogramData data =
        analytics::BuildHistogram(DayRows(histogram.bar_cond), day, histogram, n, host_);
    if (generation != generation_) {
        return true;
    }
    histograms_[n - 1] = std::make_shared<const HistogramData>(std::move(data));
    built_[n - 1] = true;
    return true;
}

const storage::Database& RightPanelModel::DayRows(const std::string& condition) {
    // Every query of the panel asks for one day and contract, and SQLite answers that through
    // the contract index: on a contract traded for months each query would read its whole
    // history.
    return slice_.Select(*quote_, day_.date, day_.contract).RowsFor(condition);
}

const settings::HistogramSettings& RightPanelModel::HistogramSettingsOf(int n) const {
    static const settings::HistogramSettings kNone;
    return ValidNumber(n) ? input_.Settings().histograms[static_cast<std::size_t>(n - 1)] : kNone;
}

bool RightPanelModel::IsBuilt(int n) const {
    return ValidNumber(n) && built_[n - 1];
}

std::string RightPanelModel::ForwardPointText() const {
    return analytics::ForwardPointText(day_.forward_point);
}

bool RightPanelModel::ForwardPointVisible() const {
    return ShowsForwardPoint(day_.symbol);
}

const std::string& RightPanelModel::Caption(int n) const {
    return ValidNumber(n) ? captions_[n - 1] : kNoCaption;
}

const HistogramData& RightPanelModel::Histogram(int n) const {
    return ValidNumber(n) && histograms_[n - 1] ? *histograms_[n - 1] : kNoHistogram;
}

std::shared_ptr<const HistogramData> RightPanelModel::SharedHistogram(int n) const {
    return ValidNumber(n) ? histograms_[n - 1] : nullptr;
}

}  // namespace zarvex::analytics
