#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "storage/database.h"
#include "storage/statement.h"

struct sqlite3;

namespace zarvex::storage {

// A bound on the queries that hold a user's condition, for as long as it lives: SQLite stops
// a statement of the connection once it has run longer than the limit (a progress handler),
// and refuses to make a string or blob longer than kConditionValueLimit bytes. A condition
// such as randomblob(300000000) or one that nests functions without end then fails its query
// within seconds instead of holding the window or a day run for good. Made on the connection
// the query runs on, just before it is prepared, and ended right after its last step.
class ConditionBound final {
public:
    explicit ConditionBound(const Database& db);
    ~ConditionBound();
    ConditionBound(const ConditionBound&) = delete;
    ConditionBound& operator=(const ConditionBound&) = delete;

    // Whether a statement was stopped because the time ran out.
    bool Expired() const { return expired_; }

    // Why a query under this bound failed: the time out, else SQLite's own words.
    std::string Why(const Statement& query) const { return Why(query.Error()); }
    std::string Why(std::string_view sqlite_error) const;

    // How long one query may run. Five seconds unless changed; the tests shorten it.
    static std::chrono::milliseconds Limit();
    static void SetLimit(std::chrono::milliseconds limit);

private:
    static int OnProgress(void* self);

    sqlite3* db_ = nullptr;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point deadline_;
    int previous_length_limit_ = -1;
    bool expired_ = false;
};

// No value the quote table holds comes near this; a condition that builds a larger one is no
// filter of option rows.
inline constexpr int kConditionValueLimit = 1 << 20;

// How a failed query names the user's condition, for the status bar, the log and the
// command line: Level_Cond "oi>0 AND x": <why>.
std::string NamedConditionFailure(std::string_view name, std::string_view condition,
                                  std::string_view why);

}  // namespace zarvex::storage
