#pragma once

#include <chrono>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "common/clock.h"
#include "common/text_table.h"

// What several command groups share.
namespace zarvex::cli {

// Commands that take options only: a stray word is bad usage.
inline void RefusePositional(const Arguments& args) {
    if (!args.Positional().empty()) {
        throw UsageError("unexpected argument " + args.Positional().front());
    }
}

// The interface texts in the language of --lang.
inline common::Language LanguageOf(const Context& ctx) {
    return ctx.lang == "rus" ? common::Language::kRussian : common::Language::kEnglish;
}

// "Today" of the command line as a clock: the --today option or the computer's date.
class TodayClock final : public common::Clock {
public:
    explicit TodayClock(common::Date today) : today_(today) {}
    common::Date Now() const override { return today_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    common::Date today_;
};

}  // namespace zarvex::cli
