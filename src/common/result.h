#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace zarvex::common {

// What a reading of data came to (a board, a map, a history, a table, a chain): its value, or
// one sentence of why there is none, naming the file, host or setting at fault. As with
// Outcome, the reason travels with the result, so that a failed read is never taken for one
// that found nothing; dropping one unread would drop the only copy of the reason, hence
// nodiscard.
template <typename T>
class [[nodiscard]] Result final {
public:
    static Result Of(T value) { return Result(std::move(value)); }
    static Result Failed(std::string reason) {
        Result result;
        result.reason_ = std::move(reason);
        return result;
    }

    bool HasValue() const { return value_.has_value(); }
    explicit operator bool() const { return HasValue(); }

    // Only with a value.
    const T& Value() const& {
        assert(value_);
        return *value_;
    }
    T& Value() & {
        assert(value_);
        return *value_;
    }
    T&& Value() && {
        assert(value_);
        return std::move(*value_);
    }
    const T& operator*() const& { return Value(); }
    const T* operator->() const { return &Value(); }
    T* operator->() { return &Value(); }

    // Empty with a value.
    const std::string& Reason() const { return reason_; }

private:
    Result() = default;
    explicit Result(T value) : value_(std::move(value)) {}

    std::optional<T> value_;
    std::string reason_;
};

}  // namespace zarvex::common
