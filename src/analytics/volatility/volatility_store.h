#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/volatility/term_summary.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// DB/<SYM>_volatility.lql: each stored day's term structure, summarised, so that the volatility
// across years of days needs no implied volatility solved again. It is a cache of the quote
// database and nothing else: deleting it loses nothing, and a file that is damaged, of another
// layout or older than the rows it summarises is brought back in line from the rows.
//
// Staleness. Per stored day the file keeps a fingerprint of that day's CALL and PUT rows: their
// count, their largest id and a hash of every column the term structure reads (id, option,
// contract, expiration, strike, premium, open interest). The quote table's ids only ever grow,
// so a day added, re-extracted or edited behind the store's back changes its fingerprint. Taking
// the fingerprints reads every row, so the file also keeps the quote file's size and
// modification time (with its journal's) from when it was last brought in line: while those
// are unchanged, nothing is read from the quote rows at all.
inline constexpr int kVolatilityStoreVersion = 1;

std::filesystem::path VolatilityStorePath(const common::ProgramFolder& folder,
                                          std::string_view symbol);

// Days summarised so far of all there are to summarise.
using StoreProgress = std::function<void(std::size_t done, std::size_t total)>;

struct VolatilityDays {
    std::vector<DaySummary> days;  // every stored day, oldest first
    std::size_t recomputed = 0;    // days whose summary came from the rows this time
    bool stored = true;            // false when the store could not be written (kept in memory)
};

// Every stored day of the symbol, with the store brought in line first. nullopt when the quote
// rows cannot be read.
std::optional<VolatilityDays> LoadVolatilityDays(const common::ProgramFolder& folder,
                                                 std::string_view symbol,
                                                 const StoreProgress& progress = {});

// What LoadVolatilityDays compares before reading any row: the quote file's size and
// modification time (and its journal's). Empty when there is no quote file.
std::string QuoteFileStamp(const common::ProgramFolder& folder, std::string_view symbol);

// After a day run wrote `date` into the quote rows: when the store was in line with the quote
// file as `stamp_before` describes it, only that day is summarised again; otherwise the whole
// store is brought in line. False when the store could not be brought in line (no harm: the
// next reader does it).
bool RefreshVolatilityDay(const common::ProgramFolder& folder, std::string_view symbol,
                          const std::string& date, const std::string& stamp_before);

}  // namespace zarvex::analytics
