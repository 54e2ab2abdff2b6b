#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "acquisition/http_transport.h"

namespace zarvex::acquisition {

// Checks of what the report server answered, before anything is stored. Pure functions, so
// that they can be tried on any bytes.

// Whether a listing page names the file: a plain, case-sensitive search for the name, as the
// server's own listing writes it. An empty name is named by nothing.
bool ListingNames(std::string_view listing, std::string_view file_name);

// Longest numeral a forward-point line may carry; a longer one is no number but damage.
inline constexpr std::size_t kLongestForwardPoint = 32;

// Whether a forward-point answer carries a number where the reader looks for one (from the
// fifth character of a line on, up to the first zero byte). A numeral the reader cannot take
// as it stands (longer than kLongestForwardPoint, or beyond the range of a double) would be
// read as 0 without a word, so it spoils the whole answer.
bool HoldsForwardPoint(std::string_view body);

// Whether a fetched answer (buffer as FetchToBuffer leaves it) is a forward-point file. An
// error page, an empty answer, one longer than the buffer took, or one without a readable
// number is not: the callers treat it as a missing file.
bool IsForwardPointAnswer(const FetchResult& result, std::string_view buffer);

// One received body as the checks see it.
struct ReceivedBody {
    std::string_view bytes;
    bool length_proven = false;  // Content-Length or chunks, and the body came to that end
    bool cut = false;            // longer than the buffer allowed
};

// What a text must end with to be whole when its length is not proven.
enum class BodyEnd {
    kAny,
    kLineBreak,  // a report: its last line is ended, so a stop inside a line is a cut
};

enum class BodyVerdict {
    kStore,         // whole: keep it
    kFetchAgain,    // the length is not proven: a second fetch must bring the same bytes
    kTooLong,       // longer than the buffer allows: refused, never stored cut
    kDiffers,       // two fetches brought different bytes: at least one was cut
    kStopsMidLine,  // the length is not proven and the text stops inside a line
};

// Whether a body may be stored. `second` is the body of the second fetch, once there is one.
BodyVerdict JudgeBody(const ReceivedBody& first, const ReceivedBody* second, BodyEnd end);

// Why a body from the url was refused, for the log and the failure messages.
std::string RefusalText(std::string_view url, BodyVerdict verdict, std::size_t capacity);

}  // namespace zarvex::acquisition
