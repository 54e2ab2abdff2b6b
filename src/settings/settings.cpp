#include "settings/settings.h"

namespace zarvex::settings {

namespace {

struct Conditions {
    std::string_view level;
    std::string_view fractal_main;
    std::string_view fractal_near;
    std::string_view bar;
};

// The thinner markets get lower thresholds. Every symbol not named here (EUR, GBP, JPY)
// takes the first set.
Conditions ConditionsFor(std::string_view symbol) {
    if (symbol == "CHF") {
        return {"oi>50 AND sign>=0", "oi>5 AND sign>0", "oi>1", "oi>30"};
    }
    if (symbol == "CAD") {
        return {"oi>500 AND sign>=0", "oi>50 AND sign>0", "oi>5", "oi>100"};
    }
    if (symbol == "AUD") {
        return {"oi>500 AND sign>=0", "oi>50 AND sign>0", "oi>5", "oi>200"};
    }
    return {"oi>1000 AND sign>=0", "oi>100 AND sign>0", "oi>10", "oi>500"};
}

}  // namespace

Settings DefaultSettings(std::string_view symbol, const common::ProgramFolder& folder) {
    const Conditions conditions = ConditionsFor(symbol);
    Settings settings;
    settings.level_cond = conditions.level;
    settings.fractal_main_cond = conditions.fractal_main;
    settings.fractal_near_cond = conditions.fractal_near;
    settings.price_type = 0;
    for (int i = 0; i < Settings::kHistogramCount; ++i) {
        HistogramSettings& histogram = settings.histograms[static_cast<std::size_t>(i)];
        histogram.bar_cond = conditions.bar;
        histogram.market_scale = 2;
        histogram.market_type = 0;
        histogram.param = static_cast<std::int8_t>(i);
    }
    settings.is_extract = 1;
    settings.is_upload = 1;
    settings.is_fp = 1;
    settings.template_output_data =
        "{strike,price,delta,volume,oi,doi,sign,symb,option,contract,expiration,date}"
        "{oi>10 AND delta>0 AND price>0}{,}";
    settings.template_file_name = "{SYM}{YEAR}{MONTH}{DAY}";
    settings.output_folder = folder.RootText() + "OUTPUT/";
    return settings;
}

}  // namespace zarvex::settings
