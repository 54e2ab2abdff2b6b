#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/volatility/handed_day.h"
#include "analytics/volatility/term_summary.h"
#include "common/program_folder.h"

namespace zarvex::analytics {

// DB/<SYM>_volatility.lql: each stored day's term structure, summarised, so that the volatility
// across years of days needs no implied volatility solved again. It is a cache of the quote
// database and nothing else: deleting it loses nothing, and a file that is damaged, of another
// layout or older than the rows it summarises is brought back in line from the rows.
//
// Staleness. Per stored day the file keeps a fingerprint of that day's CALL and PUT rows
// (DayFingerprint). The quote table's ids only ever grow, so a day added, re-extracted or
// edited behind the store's back changes its fingerprint. Taking the fingerprints reads every
// row, so the file also keeps the quote file's size and modification time (with its journal's)
// from when it was last brought in line: while those are unchanged, nothing is read from the
// quote rows at all.
//
// The day run. Solving a day's term structure is what costs; the evening's board solves every
// contract of its day anyway. So the day run only notes the day it extracted as waiting for its
// summary (no row read, nothing solved), and the board hands its solved day over (HandedDay)
// when it reads the store; any other reader summarises a waiting day from its rows.
//
// The file is written without waiting for the disk; every day carries a checksum of what the
// file holds of it and the file the exclusive or of them all, so that a write torn by a crash
// of the computer is found and the file rebuilt.
//
// Smiles. Beside each summarised contract with a forward the file keeps its solved smile, read
// only by those who ask for it (the scorecard reads the chances along thousands of smiles).
// Each carries a checksum of its own that ties it to its contract's summary; a smile that does
// not add up is left out, and its reader solves that day again.
inline constexpr int kVolatilityStoreVersion = 3;

// Whether the days read carry their contracts' smiles (ContractSummary::smile).
enum class StoredSmiles : bool { kLeave, kRead };

std::filesystem::path VolatilityStorePath(const common::ProgramFolder& folder,
                                          std::string_view symbol);

// Days summarised so far of all there are to summarise.
using StoreProgress = std::function<void(std::size_t done, std::size_t total)>;

struct VolatilityDays {
    std::vector<DaySummary> days;  // every stored day, oldest first
    std::size_t recomputed = 0;    // days whose summary came from the rows this time
    bool handed = false;           // the handed day was taken
    bool stored = true;            // false when the store could not be written (kept in memory)
};

// Every stored day of the symbol, with the store brought in line first. nullopt when the quote
// rows cannot be read.
// `handed`, a day solved by the caller, is taken for that day where the store needs it and it
// is what the rows give.
// `smiles`: kRead for the smiles too, else every summary's smile is left empty (nullopt).
std::optional<VolatilityDays> LoadVolatilityDays(const common::ProgramFolder& folder,
                                                 std::string_view symbol,
                                                 const StoreProgress& progress = {},
                                                 const HandedDay* handed = nullptr,
                                                 StoredSmiles smiles = StoredSmiles::kLeave);

// What LoadVolatilityDays compares before reading any row: the quote file's size and
// modification time (and its journal's). Empty when there is no quote file.
std::string QuoteFileStamp(const common::ProgramFolder& folder, std::string_view symbol);

// After a day run wrote `date` into the quote rows: when the store was in line with the quote
// file as `stamp_before` describes it, that day alone waits for its summary; otherwise the whole
// store is brought in line. False when the store could not be brought in line (no harm: the
// next reader does it).
bool RefreshVolatilityDay(const common::ProgramFolder& folder, std::string_view symbol,
                          const std::string& date, const std::string& stamp_before);

}  // namespace zarvex::analytics
