// The readers of the network clock: the Date header of a time host, the exchange-time page
// and the shift to exchange time.
// - What the header reader keeps is at most 20 characters, upper-cased, from a line with
//   "Date:" among the first five; a kept text that parses names the day and time its fields
//   spell (the characters between the fields are not read).
// - The header the stand-in server writes for a moment reads back as that moment.
// - The exchange-time page gives the moment its 17 characters after "EST: " spell (from the
//   fifth character on when the marker is missing).
// - Exchange time is five or six hours behind Greenwich time.

#include <cstdint>
#include <cstring>
#include <string>

#include "acquisition/time_texts.h"
#include "common/date.h"
#include "common/text.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace acquisition = zarvex::acquisition;
namespace common = zarvex::common;

// Moments whose year has four digits: the forms these texts use.
constexpr common::Date kFirst = -62135596800;  // 0001-01-01
constexpr common::Date kLast = 253402300799;   // 9999-12-31 23:59:59

bool FirstFiveLinesHaveDate(std::string_view answer) {
    std::size_t start = 0;
    for (int line = 0; line < 5 && start < answer.size(); ++line) {
        const std::size_t end = answer.find('\n', start);
        const std::string_view text =
            answer.substr(start, end == std::string_view::npos ? end : end + 1 - start);
        if (common::Contains(text, "Date:")) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

void CheckHeader(std::string_view answer) {
    const std::string kept = acquisition::DateHeaderText(answer);
    FUZZ_CHECK(kept.size() <= 20);
    FUZZ_CHECK(kept == common::ToUpperAscii(kept));
    FUZZ_CHECK(kept.empty() || FirstFiveLinesHaveDate(answer));
    const common::Date moment = acquisition::ParseHeaderTime(kept);
    if (moment != common::kInvalidDate) {
        static constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                  "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
        const common::CivilTime civil = common::ToCivil(moment);
        FUZZ_CHECK(kept.substr(0, 2) == common::FormatDate(moment, "%dd"));
        FUZZ_CHECK(kept.substr(3, 3) == kMonths[civil.month - 1]);
        FUZZ_CHECK(kept.substr(7, 4) == common::FormatDate(moment, "%yyyy"));
        FUZZ_CHECK(kept.substr(12, 2) == common::FormatDate(moment, "%hh"));
        FUZZ_CHECK(kept.substr(15, 2) == common::FormatDate(moment, "%ii"));
        FUZZ_CHECK(kept.substr(18, 2) == common::FormatDate(moment, "%ss"));
    }
}

void CheckExchangePage(std::string_view page) {
    const common::Date moment = acquisition::ParseExchangeTimePage(page);
    if (moment == common::kInvalidDate) {
        return;
    }
    const std::string_view text = page.substr(0, page.find('\0'));
    const std::size_t at = text.find("EST: ");
    const std::size_t from = at == std::string_view::npos ? 4 : at + 5;
    FUZZ_CHECK(text.substr(from, 17) == common::FormatDate(moment, "%yyyy%mm%dd %hh:%ii:%ss"));
}

void CheckMoment(common::Date moment) {
    const std::string answer =
        "HTTP/1.1 200 OK\r\nDate: " + acquisition::HttpDateText(moment) + "\r\n\r\n";
    FUZZ_CHECK(acquisition::ParseHeaderTime(acquisition::DateHeaderText(answer)) == moment);
    const common::Date exchange = acquisition::ToExchangeTime(moment);
    FUZZ_CHECK(moment - exchange == 5 * 3600 || moment - exchange == 6 * 3600);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = zarvex::fuzz::AsText(data, size);
    CheckHeader(text);
    CheckExchangePage(text);
    acquisition::ParseHeaderTime(text);

    if (size >= sizeof(std::uint64_t)) {
        std::uint64_t raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        const auto span = static_cast<std::uint64_t>(kLast - kFirst) + 1;
        CheckMoment(kFirst + static_cast<common::Date>(raw % span));
    }
    return 0;
}
