#include "day/volatility_refresh.h"

#include "analytics/volatility/volatility_store.h"

namespace zarvex::day {

VolatilityRefresh::VolatilityRefresh(const common::ProgramFolder& folder,
                                     const std::vector<settings::InstrumentStores*>& instruments)
    : folder_(folder) {
    for (const settings::InstrumentStores* stores : instruments) {
        symbols_.push_back(stores->symbol);
        stamps_.push_back(analytics::QuoteFileStamp(folder, stores->symbol));
    }
}

void VolatilityRefresh::After(common::Date date,
                              const std::vector<common::Outcome>& extracted) const {
    const std::string day = common::DayText(date);
    for (std::size_t i = 0; i < symbols_.size() && i < extracted.size(); ++i) {
        if (!extracted[i].IsDone()) {
            continue;
        }
        try {
            analytics::RefreshVolatilityDay(folder_, symbols_[i], day, stamps_[i]);
        } catch (const std::exception&) {
            // A store that could not be brought in line is brought in line by its next reader.
        }
    }
}

}  // namespace zarvex::day
