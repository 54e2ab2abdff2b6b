#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

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

// What the window hands to the right panel on every rebuild: the left panel's day and contract,
// the forward-point switch and the four histograms' settings of the instrument.
struct RightPanelConfig {
    std::string symbol;  // "EUR" ... "CHF"
    std::string date;    // "%dd.%mm.%yyyy"
    std::string contract;
    int fp_switch = 0;  // IsFP: 1 = use forward points
    std::array<settings::HistogramSettings, kHistogramCount> histograms;
    int price_type = 0;  // the left panel's, for the contract's history
};

// The right panel of one instrument without its widgets: the forward point, the two option
// tables and the four histograms of the configured day and contract. The Qt panel is a view
// over it: it shows Caption(n) above chart n, draws Histogram(n), fills its tables from
// Tables() and its forward-point field from ForwardPointText().
//
// Histograms are numbered 1..4. Configure builds histogram 1 and empties 2..4; the view builds
// those when it wants them (IsBuilt tells). A number outside 1..4 reads as an empty histogram.
class RightPanelModel final {
public:
    // quote must outlive the model; a closed database gives empty tables and histograms.
    RightPanelModel(const storage::Database& quote, common::ProgramFolder folder,
                    common::Host host);

    // Stores the configuration, resolves the forward point, sets the captions, fills the option
    // tables and builds histogram 1, with the status texts and the UI lock of each step.
    void Configure(const RightPanelConfig& config);
    // Runs the scale and the data arrays of histogram n with its own settings. False for a
    // number outside 1..4. Events pumped meanwhile may call Configure again; the newer
    // configuration then wins and this build's result is dropped.
    bool BuildHistogram(int n);
    bool IsBuilt(int n) const;

    const RightPanelConfig& Config() const { return config_; }
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
    const OptionTables& Tables() const { return tables_; }

private:
    static bool ValidNumber(int n) { return n >= 1 && n <= kHistogramCount; }
    // The rows that the queries of the day and contract read: a copy of the day's rows, or the
    // file itself for a condition that may look beyond the row it tests.
    const storage::Database& DayRows(const std::string& condition);

    const storage::Database* quote_;
    DaySlice slice_;
    common::ProgramFolder folder_;
    common::Host host_;

    RightPanelConfig config_;
    RightPanelDay day_;
    OptionTables tables_;
    std::array<std::string, kHistogramCount> captions_;
    std::array<std::shared_ptr<const HistogramData>, kHistogramCount> histograms_;
    std::array<bool, kHistogramCount> built_{};
    // Counts the configurations, so that a build overtaken by a newer one keeps out.
    std::uint64_t generation_ = 0;
};

}  // namespace zarvex::analytics
