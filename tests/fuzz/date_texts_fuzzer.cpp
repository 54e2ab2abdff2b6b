// The date texts and the calendar arithmetic under them.
// - A text that reads with a mask (each field at most once) is given back by formatting the
//   moment with that mask.
// - A moment with a four-digit year survives formatting and reading with the full mask.
// - Any 64-bit moment has a day start at or before it and less than a day away, a weekday
//   one on from the day before, and civil fields in range (the day of the month as far as the
//   year fits its int).

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "common/date.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace common = zarvex::common;

constexpr common::Date kFirst = -62135596800;  // 0001-01-01
constexpr common::Date kLast = 253402300799;   // 9999-12-31 23:59:59
constexpr common::Date kIntYears = 2'000'000'000LL * 365 * common::kSecondsPerDay;

bool FieldsAtMostOnce(std::string_view mask) {
    for (const std::string_view token : {"%yyyy", "%mm", "%dd", "%hh", "%ii", "%ss"}) {
        const std::size_t first = mask.find(token);
        if (first != std::string_view::npos &&
            mask.find(token, first + 1) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

void CheckText(std::string_view text, std::string_view mask) {
    const common::Date moment = common::ParseDate(text, mask);
    if (moment == common::kInvalidDate || !FieldsAtMostOnce(mask)) {
        return;
    }
    FUZZ_CHECK(common::FormatDate(moment, mask) == text);
}

void CheckMoment(common::Date moment) {
    const common::Date start = common::DayStart(moment);
    FUZZ_CHECK(start <= moment);
    FUZZ_CHECK(moment - start < common::kSecondsPerDay);
    const common::CivilTime civil = common::ToCivil(moment);
    FUZZ_CHECK(civil.month >= 1 && civil.month <= 12);
    // Past some two billion years the year no longer fits its int, nor its leap years.
    if (moment > -kIntYears && moment < kIntYears) {
        FUZZ_CHECK(civil.day >= 1 && civil.day <= common::DaysInMonth(civil.year, civil.month));
    }
    FUZZ_CHECK(civil.hour >= 0 && civil.hour < 24 && civil.minute >= 0 && civil.minute < 60 &&
               civil.second >= 0 && civil.second < 60);
    const int weekday = common::Weekday(moment);
    FUZZ_CHECK(weekday >= 0 && weekday < 7);
    if (moment >= std::numeric_limits<common::Date>::min() + common::kSecondsPerDay) {
        FUZZ_CHECK((common::Weekday(moment - common::kSecondsPerDay) + 1) % 7 == weekday);
    }
}

void CheckFourDigitYear(common::Date moment) {
    constexpr std::string_view kMask = "%yyyy-%mm-%dd %hh:%ii:%ss";
    const std::string text = common::FormatDate(moment, kMask);
    FUZZ_CHECK(common::ParseDate(text, kMask) == moment);
    const common::CivilTime civil = common::ToCivil(moment);
    FUZZ_CHECK(common::MakeDate(civil.year, civil.month, civil.day, civil.hour, civil.minute,
                                civil.second) == moment);
    FUZZ_CHECK(common::DayText(moment) == common::FormatDate(moment, "%dd.%mm.%yyyy"));
    FUZZ_CHECK(common::ParseDate(common::DateKey(moment), "%yyyy%mm%dd") ==
               common::DayStart(moment));
}

}  // namespace

// Input: an 8-byte moment, then the text and the mask separated by the first zero byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(std::uint64_t)) {
        return 0;
    }
    std::uint64_t raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    const auto moment = static_cast<common::Date>(raw);
    CheckMoment(moment);
    const auto span = static_cast<std::uint64_t>(kLast - kFirst) + 1;
    CheckFourDigitYear(kFirst + static_cast<common::Date>(raw % span));

    const std::string_view rest = zarvex::fuzz::AsText(data + sizeof raw, size - sizeof raw);
    const std::size_t split = rest.find('\0');
    if (split != std::string_view::npos) {
        CheckText(rest.substr(0, split), rest.substr(split + 1));
    } else {
        CheckText(rest, "%dd.%mm.%yyyy");
        CheckText(rest, "%yyyy%mm%dd %hh:%ii:%ss");
    }
    return 0;
}
