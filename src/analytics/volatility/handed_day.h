#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/volatility/term_structure.h"
#include "analytics/volatility/term_summary.h"

namespace zarvex::analytics {

// What the volatility store's term structure of a day reads of its CALL and PUT rows, folded
// into three numbers: their count, their largest id and a hash of each row's id, option,
// contract, expiration, strike, premium and open interest, in id order. The quote table's ids
// only ever grow, so a day added, re-extracted or edited changes it.
struct DayFingerprint {
    std::int64_t rows = 0;
    std::int64_t max_id = 0;
    std::uint64_t hash = 0;

    bool operator==(const DayFingerprint&) const = default;

    // One row; the numbers as the column readers give them (a non-finite double as 0.0).
    void Add(std::int64_t id, std::string_view option, std::string_view contract,
             std::string_view expiration, double strike, double price, std::int64_t oi) {
        ++rows;
        max_id = std::max(max_id, id);
        Mix(static_cast<std::uint64_t>(id));
        for (const std::string_view text : {option, contract, expiration}) {
            // Eight bytes a word, and the length, so that "AB","C" differs from "A","BC".
            std::size_t at = 0;
            for (; at + 8 <= text.size(); at += 8) {
                std::uint64_t word = 0;
                std::memcpy(&word, text.data() + at, 8);
                Mix(word);
            }
            std::uint64_t rest = 0;
            if (at < text.size()) {
                std::memcpy(&rest, text.data() + at, text.size() - at);
            }
            Mix(rest);
            Mix(text.size());
        }
        Mix(std::bit_cast<std::uint64_t>(strike));
        Mix(std::bit_cast<std::uint64_t>(price));
        Mix(static_cast<std::uint64_t>(oi));
    }

private:
    void Mix(std::uint64_t value) {
        // FNV-1a over 64-bit words, then a final avalanche per word: cheap, and a changed
        // premium anywhere in a day changes the hash.
        hash = (hash ^ value) * 0x100000001b3ULL;
        hash ^= hash >> 29;
    }
};

// A day's term structure that someone who read the day's rows anyway has solved (the evening
// board solves every contract of its day), handed to the volatility store so that the day run
// does not solve it twice. It carries what the store's own reading of the rows would give
// beside the solved contracts, so that the store takes it only where it is that reading.
struct HandedDay {
    std::string date;  // "%dd.%mm.%yyyy"
    DayFingerprint print;
    // The day's contracts in the order of their first row.
    std::vector<std::string> contracts;
    // Per contract, the expiration its rows of the day give (the last PUT row's, else the last
    // CALL row's), which the term structure reads its days to expiry from.
    std::map<std::string, std::string, std::less<>> expirations;
    // The contracts as solved, in any order; each with the expiration it was solved with.
    std::vector<TermContract> solved;
};

// The day's summary as the store would make it from the rows, or nullopt where the handed day
// cannot give it: a contract of the day not solved, or solved with another expiration than
// the day's rows give.
std::optional<DaySummary> SummaryOfHanded(const HandedDay& handed);

}  // namespace zarvex::analytics
