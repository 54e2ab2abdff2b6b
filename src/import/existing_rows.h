#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/database.h"

namespace zarvex::import {

// The rows one day already has in a quote database, held so that the per-row duplicate test
// of the extraction costs a hash lookup instead of a query.
//
// The test it stands in for is "SELECT * FROM dating WHERE symb = ? AND option = ? AND
// contract = ? AND date = ? AND strike = ?". Texts compare exactly; the strike compares as a
// number, converted by SQLite. The lookup answers "certainly absent" only when no stored
// strike of that symbol, option and contract lies anywhere near the new one; every other
// case (a near or equal strike, a strike that is not a plain decimal number) is left to the
// real query, so the answer is always the query's own.
class ExistingRows final {
public:
    // Reads the day's rows; false when they could not be read (then nothing is known to be
    // absent and every test goes to the query).
    bool Load(const storage::Database& db, std::string_view day_text);

    enum class Answer { kAbsent, kAskDatabase };
    Answer Lookup(std::string_view symb, std::string_view option, std::string_view contract,
                  std::string_view strike) const;
    // Records a row just inserted.
    void Add(std::string_view symb, std::string_view option, std::string_view contract,
             std::string_view strike);

private:
    // The numeric strikes of one symbol, option and contract. A strike stored as text can
    // never equal a plain decimal (SQLite would have stored that as a number), so text
    // strikes need no place here.
    struct Strikes {
        std::vector<double> numbers;
    };
    static std::string Key(std::string_view symb, std::string_view option,
                           std::string_view contract);

    std::unordered_map<std::string, Strikes> rows_;
    bool loaded_ = false;
};

// A strike text that every reader turns into the same number: digits with an optional sign
// and one decimal point between digits.
bool IsPlainDecimal(std::string_view text);

}  // namespace zarvex::import
