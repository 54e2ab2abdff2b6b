#pragma once

#include <string>
#include <vector>

#include "common/date.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::day {

// Keeps each instrument's volatility store in line with a day the run extracts: taken before
// the extraction, it notes how the quote files stood; after it, a store that was in line then
// needs only that day summarised. The store is a cache: nothing here fails the day.
class VolatilityRefresh final {
public:
    VolatilityRefresh(const common::ProgramFolder& folder,
                      const std::vector<settings::InstrumentStores*>& instruments);

    // For the instruments whose extraction of `date` was done.
    void After(common::Date date, const std::vector<common::Outcome>& extracted) const;

private:
    const common::ProgramFolder& folder_;
    std::vector<std::string> symbols_;
    std::vector<std::string> stamps_;
};

}  // namespace zarvex::day
