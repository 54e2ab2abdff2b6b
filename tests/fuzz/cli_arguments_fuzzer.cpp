// The command line's argument parsing, on words split from the input at NUL bytes.
// - Parsing ends in a result or in bad usage, never in another exception or a crash.
// - What Arguments accepts comes back the same when its options and positional words are
//   written out again and parsed anew; a typed reader's accepted value reads back the same
//   from its own text.
// - A whole command line of a command that touches no file (check, price, trading-day,
//   holidays, help) ends with 0, 1 or 2; with 2 (bad usage) nothing is written to stdout and
//   stderr holds exactly one line naming the problem.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "common/date.h"
#include "common/text.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace cli = zarvex::cli;
namespace common = zarvex::common;

const std::set<std::string> kAllowed{"date", "day", "n", "premium", "symbol"};
const std::set<std::string> kFlags{"json"};

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\0', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Each typed reader either refuses with bad usage or gives a value that reads back the same.
void CheckTypedReaders(const cli::Arguments& args) {
    try {
        if (const auto day = args.DayText("day")) {
            FUZZ_CHECK(common::ParseDate(common::DayText(*day), "%dd.%mm.%yyyy") == *day);
        }
    } catch (const cli::UsageError&) {
    }
    try {
        if (args.Has("date")) {
            const common::Date date = args.RequiredDateKey("date");
            FUZZ_CHECK(common::ParseDate(common::DateKey(date), "%yyyy%mm%dd") == date);
        }
    } catch (const cli::UsageError&) {
    }
    try {
        if (const auto n = args.IntInRange("n", 1, 4)) {
            FUZZ_CHECK(*n >= 1 && *n <= 4);
            // Plain digits only: no blanks, sign, exponent or hexadecimal got through.
            FUZZ_CHECK(args.Get("n")->find_first_not_of("0123456789") == std::string::npos);
        }
    } catch (const cli::UsageError&) {
    }
    try {
        if (args.Has("premium")) {
            const double premium = args.RequiredDouble("premium", false);
            FUZZ_CHECK(std::isfinite(premium));
            char shortest[64];
            const auto written = std::to_chars(shortest, shortest + sizeof shortest, premium);
            FUZZ_CHECK(common::ParseDouble(std::string_view(shortest, written.ptr - shortest)) ==
                       premium);
        }
    } catch (const cli::UsageError&) {
    }
}

void CheckArguments(const std::vector<std::string>& words) {
    std::optional<cli::Arguments> args;
    try {
        args.emplace(words, kAllowed, kFlags);
    } catch (const cli::UsageError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return;
    }
    std::vector<std::string> again;
    for (const std::set<std::string>* names : {&kAllowed, &kFlags}) {
        for (const std::string& name : *names) {
            if (!args->Has(name)) {
                continue;
            }
            again.push_back("--" + name);
            if (names == &kAllowed) {
                again.push_back(*args->Get(name));
            }
        }
    }
    again.insert(again.end(), args->Positional().begin(), args->Positional().end());
    const cli::Arguments reread(again, kAllowed, kFlags);
    for (const std::set<std::string>* names : {&kAllowed, &kFlags}) {
        for (const std::string& name : *names) {
            FUZZ_CHECK(reread.Get(name) == args->Get(name));
        }
    }
    FUZZ_CHECK(reread.Positional() == args->Positional());
    CheckTypedReaders(*args);
}

void CheckCommandLine(std::vector<std::string> words, unsigned choice) {
    static const char* const kCommands[] = {"check", "price", "trading-day", "holidays", "help"};
    words.insert(words.begin(), kCommands[choice % 5]);
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::Run(words, out, err);
    FUZZ_CHECK(status == cli::kExitDone || status == cli::kExitFailed || status == cli::kExitUsage);
    if (status == cli::kExitUsage) {
        const std::string message = err.str();
        FUZZ_CHECK(out.str().empty());
        FUZZ_CHECK(message.rfind("zarvex-cli: ", 0) == 0);
        FUZZ_CHECK(message.find('\n') == message.size() - 1);
        FUZZ_CHECK(message.find('\r') == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<std::string> words = Words(zarvex::fuzz::AsText(data + 1, size - 1));
    CheckArguments(words);
    CheckCommandLine(words, data[0]);
    return 0;
}
