// The query-time guard of a user's condition, proved with SQLite itself.
// - Whatever the guard accepts, grouped as the program groups it, lets no row through that the
//   query's own filter excludes: "WHERE 0 AND (condition)" returns none. Both the input as it
//   is and the input read as a string of pieces that open and close groups, literals, quoted
//   names, comments, parameters and subqueries.
// - Whatever the settings dialog's condition rule lets through, the guard accepts.

#include <chrono>
#include <cstdint>
#include <string>

#include "common/text.h"
#include "fuzz/fuzz_check.h"
#include "settings/template_rules.h"
#include "storage/condition_bound.h"
#include "storage/grouped_condition.h"
#include "support/condition_escape.h"

namespace {

namespace storage = zarvex::storage;

void Check(const storage::Database& db, std::string_view condition) {
    if (zarvex::settings::IsValidCondition(condition)) {
        FUZZ_CHECK(storage::AndGrouped(zarvex::common::Trim(condition)).has_value());
    }
    if (storage::AndGrouped(condition)) {
        FUZZ_CHECK(!zarvex::test::LeavesItsGroup(db, condition));
    }
}

// The quote table with its rows, checked once to show escapes where there are some.
const storage::Database& Table() {
    static const storage::Database db = [] {
        // A condition that computes for long is stopped by the bound, not by libFuzzer's
        // timeout.
        storage::ConditionBound::SetLimit(std::chrono::milliseconds(200));
        storage::Database table = zarvex::test::ConditionTable();
        FUZZ_CHECK(!zarvex::test::LeavesItsGroup(table, "1"));
        FUZZ_CHECK(zarvex::test::LeavesItsGroup(table, "1) OR (1"));
        return table;
    }();
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = zarvex::fuzz::AsText(data, size);
    Check(Table(), text);
    Check(Table(), zarvex::test::ConditionFromPieces(text));
    return 0;
}
