// The forward-point reader over any file. The point it gives is always finite, and it is the
// number that the first line holding the symbol spells from its fifth character on, read
// here by the C library as a plain decimal number (0 when there is none).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "analytics/forward_points.h"
#include "common/date.h"
#include "common/host.h"
#include "common/program_folder.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace common = zarvex::common;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading decimal number of text after white space: sign, digits, point, digits,
// exponent; strtod reads it. Forms other than plain decimals read as 0.
double PlainDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           std::string_view(" \t\n\r\v\f").find(text[i]) != std::string_view::npos) {
        ++i;
    }
    const std::size_t begin = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    const std::string number(text.substr(begin, i - begin));
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

// The first line with the symbol, up to its first zero byte; nullopt when there is none.
std::optional<std::string_view> SymbolLine(std::string_view file, std::string_view symbol) {
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = std::min(file.find('\n', start), file.size());
        std::string_view line = file.substr(start, end - start);
        line = line.substr(0, line.find('\0'));
        if (line.find(symbol) != std::string_view::npos) {
            return line;
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zarvex::fuzz::ScratchFolder scratch;
    static const bool made = std::filesystem::create_directories(scratch.Path() / "INPUT");
    (void)made;
    const common::ProgramFolder folder(scratch.Path());
    const common::Date day = common::MakeDate(2012, 12, 3);
    const std::string_view file = zarvex::fuzz::AsText(data, size);
    zarvex::fuzz::ScratchFolder::Write(folder.ForwardPointFile(day), file);

    for (const std::string_view symbol : {"EUR", "JPY", "CHF"}) {
        const double point = zarvex::analytics::GetFPFromFile(folder, day, symbol, common::Host{});
        FUZZ_CHECK(std::isfinite(point));
        const auto line = SymbolLine(file, symbol);
        const double expected = line && line->size() > 4 ? PlainDecimal(line->substr(4)) : 0.0;
        FUZZ_CHECK(point == expected);
    }
    return 0;
}
