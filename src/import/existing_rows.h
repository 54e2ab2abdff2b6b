#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "storage/database.h"

namespace zarvex::import {

// The rows one day already has in a quote database, held so that the per-row duplicate test
// of the extraction costs a hash lookup instead of a query over every row of the contract.
//
// The test it stands in for is "SELECT * FROM dating WHERE symb = ? AND option = ? AND
// contract = ? AND date = ? AND strike = ?". The texts compare exactly, which the hash key
// does; the strike compares through SQLite's own conversion of the text, which is left to
// SQLite: Candidates() names the stored rows that could possibly be equal, and the caller asks
// SQLite about each of those rows by its id. A row that is not a candidate cannot be equal.
class ExistingRows final {
public:
    // Reads the day's rows; false when they could not be read (then Known() is false and the
    // caller falls back to the plain query).
    bool Load(const storage::Database& db, std::string_view day_text);
    bool Known() const { return loaded_; }
    // How many rows the day had when it was loaded (0 when not Known()).
    std::size_t LoadedCount() const { return loaded_count_; }

    // Ids of the stored rows of that symbol, option and contract whose strike may equal the
    // given strike text, in the order of their ids. A strike text in any other form than a
    // plain decimal is first put to SQLite once, to learn whether the comparison reads it as a
    // number, so that even a report of nothing but such strikes costs no more than a plain one.
    std::vector<std::int64_t> Candidates(std::string_view symb, std::string_view option,
                                         std::string_view contract, std::string_view strike);
    // Records a row just inserted, with its strike as SQLite stored it: a number, or a text.
    void AddNumber(std::int64_t id, std::string_view symb, std::string_view option,
                   std::string_view contract, double strike);
    void AddText(std::int64_t id, std::string_view symb, std::string_view option,
                 std::string_view contract, std::string_view strike);

private:
    // The rows of one symbol, option and contract. A day of a full report holds some
    // hundred strikes per contract, and every new row is looked up among them: the numbers
    // are kept in order, so that a lookup touches only the strikes near its own.
    struct Group {
        std::multimap<double, std::int64_t> numbers;
        std::vector<std::pair<std::string, std::int64_t>> texts;  // strikes SQLite kept as text
    };
    Group* Find(std::string_view symb, std::string_view option, std::string_view contract);
    // The number SQLite's comparison with the strike column makes of the text, or nullopt
    // when it stays a text (or the question could not be asked: probed is then false).
    std::optional<double> AsColumnNumber(std::string_view strike, bool& probed);
    Group& At(std::string_view symb, std::string_view option, std::string_view contract);

    std::unordered_map<std::string, Group> groups_;
    storage::Statement as_number_;
    // The group of the last lookup and its key: a report's rows come contract by contract, so
    // nearly every row belongs to the group of the row before it.
    Group* last_ = nullptr;
    std::string last_symb_;
    std::string last_option_;
    std::string last_contract_;
    std::string last_key_;
    bool loaded_ = false;
    std::size_t loaded_count_ = 0;
};

// A strike text that every reader turns into the same number (up to the last bits): digits
// with an optional minus and one decimal point between digits, at most 15 digits each side.
bool IsPlainDecimal(std::string_view text);
// A text without any digit: SQLite keeps it as text and compares it as text.
bool HasNoDigit(std::string_view text);

}  // namespace zarvex::import
