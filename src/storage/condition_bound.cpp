#include "storage/condition_bound.h"

#include <sqlite3.h>

#include <atomic>

namespace zarvex::storage {

namespace {

std::atomic<long long> g_limit_ms{5000};

// Virtual machine steps between two looks at the clock: about a millisecond of work, so the
// clock costs nothing and the stop comes at once.
constexpr int kStepsBetweenChecks = 1000;

}  // namespace

ConditionBound::ConditionBound(const Database& db)
    : db_(db.Handle()), limit_(Limit()), deadline_(std::chrono::steady_clock::now() + limit_) {
    if (db_ == nullptr) {
        return;
    }
    previous_length_limit_ = sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, kConditionValueLimit);
    sqlite3_progress_handler(db_, kStepsBetweenChecks, &ConditionBound::OnProgress, this);
}

ConditionBound::~ConditionBound() {
    if (db_ == nullptr) {
        return;
    }
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, previous_length_limit_);
}

int ConditionBound::OnProgress(void* self) {
    auto* bound = static_cast<ConditionBound*>(self);
    if (std::chrono::steady_clock::now() >= bound->deadline_) {
        bound->expired_ = true;
        return 1;
    }
    return 0;
}

std::string ConditionBound::Why(std::string_view sqlite_error) const {
    if (expired_) {
        const long long ms = limit_.count();
        return "stopped after running longer than " + (ms >= 1000 && ms % 1000 == 0
                                                           ? std::to_string(ms / 1000) + " s"
                                                           : std::to_string(ms) + " ms");
    }
    return sqlite_error.empty() ? std::string("the query failed") : std::string(sqlite_error);
}

std::chrono::milliseconds ConditionBound::Limit() {
    return std::chrono::milliseconds(g_limit_ms.load());
}

void ConditionBound::SetLimit(std::chrono::milliseconds limit) {
    g_limit_ms.store(limit.count());
}

std::string NamedConditionFailure(std::string_view name, std::string_view condition,
                                  std::string_view why) {
    std::string text(name);
    text += " \"";
    text += condition;
    text += "\": ";
    text += why;
    return text;
}

}  // namespace zarvex::storage
