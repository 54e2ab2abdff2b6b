#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/program_folder.h"

namespace zarvex::settings {

// One of the four histograms of the right panel.
struct HistogramSettings {
    std::string bar_cond;          // Bar_Cond_N: condition a strike row must meet to be drawn
    std::int8_t market_scale = 0;  // Market_Scale_N: 0 all levels, 1 in limits, 2 in borders
    std::int8_t market_type = 0;   // Market_Type_N: 0 Futures, 1 Standart, 2 Forex
    std::int8_t param = 0;         // Param_N: 0 oi, 1 change of oi, 2 volume, 3 pr*oi, 4 pr*v

    bool operator==(const HistogramSettings&) const = default;
};

// The 26 settings of one instrument as plain values: what the settings dialog copies, edits
// and compares. The configuration row stores them in this order under the column names
// given beside each field.
struct Settings {
    static constexpr int kHistogramCount = 4;

    std::string level_cond;         // Level_Cond
    std::string fractal_main_cond;  // Fractal_Main_Cond
    std::string fractal_near_cond;  // Fractal_Near_Cond
    std::int8_t price_type = 0;     // PriceType: 0 Futures, 1 Standart, 2 Forex
    // Bar_Cond_N, Market_Scale_N, Market_Type_N, Param_N for N = 1..4 at index N - 1.
    std::array<HistogramSettings, kHistogramCount> histograms;
    std::int8_t is_extract = 0;        // IsExtract
    std::int8_t is_upload = 0;         // IsUpload
    std::int8_t is_fp = 0;             // IsFP
    std::string template_output_data;  // Teplate_Outputdata (the column keeps its spelling)
    std::string template_file_name;    // Teplate_FileName
    std::string output_folder;         // OutputFolder, with a trailing "/"

    bool operator==(const Settings&) const = default;
};

// The defaults of an instrument: the conditions follow the symbol (EUR, GBP, JPY and any
// other symbol share one set; CHF, CAD and AUD have their own), the rest is the same for
// all, and the output folder is the program folder's OUTPUT/.
Settings DefaultSettings(std::string_view symbol, const common::ProgramFolder& folder);

}  // namespace zarvex::settings
