#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "analytics/analysis_input.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/histogram_kinds.h"
#include "analytics/right_panel/option_tables.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The right panel of one instrument without its widgets: the forward point, the two option
// tables and the four histograms of the configured day and contract. The Qt panel is a view
// over it: it shows Caption(n) above chart n, draws Histogram(n), fills its tables from
// Tables() and its forward-point field from ForwardPointText().
//
// Histograms are numbered 1..4. Configure builds histogram 1 and empties 2..4; the view builds
// those when it wants them (IsBuilt tells). A number outside 1..4 reads as an empty histogram.
// Each histogram is built with its settings as the instrument has them at that moment.
class RightPanelModel final {
public:
    // quote must outlive the model; a closed database gives empty tables and histograms.
    RightPanelModel(const storage::Database& quote, common::ProgramFolder folder,
                    common::Host host);

    // Stores the input (the left panel's day and contract, the instrument's settings: its
    // forward-point switch and four histograms), resolves the forward point, sets the captions,
    // fills the option tables and builds histogram 1, with the status texts and the UI lock of
    // each step. The settings must outlive the model.
    void Configure(const AnalysisInput& input);
    // Runs the scale and the data arrays of histogram n with its own settings. False for a
    // number outside 1..4. Events pumped meanwhile may call Configure again; the newer
    // configuration then wins and this build's result is dropped.
    bool BuildHistogram(int n);
    bool IsBuilt(int n) const;

    const AnalysisInput& Input() const { return input_; }
    // The settings of histogram n (1..4) as the instrument has them now.
    const settings::HistogramSettings& HistogramSettingsOf(int n) const;
    const RightPanelDay& Day() const { return day_; }
    double ForwardPoint() const { return day_.forward_point; }
    // The forward point with one decimal, and whether the field and its label show at all.
    std::string ForwardPointText() const;
    bool ForwardPointVisible() const;

    // The caption above chart n: the displayed parameter's name ("Open interest" ...).
    const std::string& Caption(int n) const;
    const HistogramData& Histogram(int n) const;
    // The same histogram for a view to keep: it stays as built when the model builds anew.
    // Null while histogram n is not built.
    std::shared_ptr<const HistogramData> SharedHistogram(int n) const;
    // Empty while TablesFault() says why they could not be read.
    const OptionTables& Tables() const { return tables_; }
    const std::string& TablesFault() const { return tables_fault_; }

private:
    static bool ValidNumber(int n) { return n >= 1 && n <= kHistogramCount; }
    // The rows that the queries of the day and contract read: a copy of the day's rows, or the
    // file itself for a condition that may look beyond the row it tests.
    const storage::Database& DayRows(const std::string& condition);

    const storage::Database* quote_;
    DaySlice slice_;
    common::ProgramFolder folder_;
    common::Host host_;

    AnalysisInput input_;
    RightPanelDay day_;
    OptionTables tables_;
    std::string tables_fault_;
    std::array<std::string, kHistogramCount> captions_;
    std::array<std::shared_ptr<const HistogramData>, kHistogramCount> histograms_;
    std::array<bool, kHistogramCount> built_{};
    // Counts the configurations, so that a build overtaken by a newer one keeps out.
    std::uint64_t generation_ = 0;
};

}  // namespace zarvex::analytics
