#pragma once

#include <string>
#include <utility>

namespace zarvex::common {

// What a day operation came to: an extraction, an unload, a day run or a download is either
// done, or failed with one sentence that names the file, host or setting at fault. The reason
// travels with the result, so a caller on another thread or after another run reads the
// reason of its own call and not whatever failed last.
//
// A day loop stops at its first failure; the command line prints Flag() where its contract
// has 1 or 0. Dropping one unread would drop the only copy of the reason, hence nodiscard;
// a caller that truly has no use for it says so with a cast to void.
class [[nodiscard]] Outcome final {
public:
    // "Done" also covers a day that needed nothing (done before, switched off, no trading).
    static Outcome Done() { return Outcome(); }
    static Outcome Failed(std::string reason) { return Outcome(std::move(reason)); }

    bool IsDone() const { return !failed_; }
    // 1 when done, 0 when failed.
    int Flag() const { return failed_ ? 0 : 1; }
    // Empty when done.
    const std::string& Reason() const { return reason_; }

private:
    Outcome() = default;
    explicit Outcome(std::string reason) : failed_(true), reason_(std::move(reason)) {}

    bool failed_ = false;
    std::string reason_;
};

}  // namespace zarvex::common
