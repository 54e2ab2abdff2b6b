// The checks a downloaded body passes before it is stored, over any bytes.
//
// Whether it came whole (JudgeBody), for a body B and a cut point k:
// - a body cut at the buffer's end is never stored; one whose length was proven always is;
// - of two fetches of unproven length, each B or B cut at k, the body is stored only when
//   both are the same bytes; a report (BodyEnd::kLineBreak) that stops inside a line never.
// The forward-point answer (HoldsForwardPoint, IsForwardPointAnswer):
// - nothing after the first zero byte counts;
// - a line whose value runs to more than kLongestForwardPoint digits spoils the answer
//   whatever else it holds, and a readable value line makes an unspoilt one hold a number;
// - an error page, a "not found", an empty or a cut answer is no forward-point file.
// The report test (HoldsOptionSection):
// - a text without any of the six symbols holds no section;
// - lines added after a line break never take a section away, nor does the normalisation
//   that stores the report (so a day that passed the download's test passes it again in
//   INPUT/); line ends written all as LF change nothing.

#include <cstdint>
#include <string>

#include "acquisition/answer_checks.h"
#include "acquisition/endpoints.h"
#include "acquisition/report_normaliser.h"
#include "common/symbols.h"
#include "fuzz/fuzz_check.h"
#include "import/parse_report.h"

namespace {

namespace acquisition = zarvex::acquisition;
using acquisition::BodyEnd;
using acquisition::BodyVerdict;
using acquisition::JudgeBody;
using acquisition::ReceivedBody;

ReceivedBody Body(std::string_view bytes, bool proven, bool cut) {
    ReceivedBody body;
    body.bytes = bytes;
    body.length_proven = proven;
    body.cut = cut;
    return body;
}

bool EndsLine(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

void CheckWholeness(std::string_view whole, std::size_t k, std::uint8_t flags) {
    const std::string_view part = whole.substr(0, k);
    const BodyEnd end = (flags & 1) != 0 ? BodyEnd::kLineBreak : BodyEnd::kAny;
    const bool proven = (flags & 2) != 0;
    const bool cut = (flags & 4) != 0;

    // One fetch.
    const BodyVerdict once = JudgeBody(Body(whole, proven, cut), nullptr, end);
    if (cut) {
        FUZZ_CHECK(once == BodyVerdict::kTooLong);
    } else if (proven) {
        FUZZ_CHECK(once == BodyVerdict::kStore);
    } else {
        const bool mid_line = end == BodyEnd::kLineBreak && !whole.empty() && !EndsLine(whole);
        FUZZ_CHECK(once == (mid_line ? BodyVerdict::kStopsMidLine : BodyVerdict::kFetchAgain));
    }

    // Two fetches of unproven length, each the whole body or the part (a copy, so that only
    // the bytes can make them equal).
    const std::string copy_whole(whole);
    const std::string copy_part(part);
    for (const std::string_view first : {whole, part}) {
        for (const std::string_view second :
             {std::string_view(copy_whole), std::string_view(copy_part)}) {
            const ReceivedBody one = Body(first, false, false);
            const ReceivedBody two = Body(second, false, (flags & 8) != 0);
            const BodyVerdict verdict = JudgeBody(one, &two, end);
            if (verdict == BodyVerdict::kStore) {
                FUZZ_CHECK(first == second && !two.cut);
                FUZZ_CHECK(end == BodyEnd::kAny || first.empty() || EndsLine(first));
            }
            if (first != second && !two.cut) {
                FUZZ_CHECK(verdict != BodyVerdict::kStore);
            }
            FUZZ_CHECK(verdict != BodyVerdict::kFetchAgain);
        }
    }
}

// Whether some line (before the first zero byte) has a value of more than the longest
// numeral's digits in a row after its blanks and sign.
bool HasOverlongValue(std::string_view body) {
    body = body.substr(0, body.find('\0'));
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t end = std::min(body.find_first_of("\r\n", start), body.size());
        std::string_view value = body.substr(start, end - start);
        if (value.size() > 4) {
            value.remove_prefix(4);
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                      value.front() == '\v' || value.front() == '\f')) {
                value.remove_prefix(1);
            }
            if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
                value.remove_prefix(1);
            }
            std::size_t digits = 0;
            while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') {
                ++digits;
            }
            if (digits > acquisition::kLongestForwardPoint) {
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

void CheckForwardPoints(std::string_view body, std::string_view tail) {
    const bool holds = acquisition::HoldsForwardPoint(body);
    if (body.find('\0') != std::string_view::npos) {
        FUZZ_CHECK(acquisition::HoldsForwardPoint(std::string(body) + std::string(tail)) == holds);
    }
    if (HasOverlongValue(body)) {
        FUZZ_CHECK(!holds);
    }
    const std::string spoilt = std::string(body) + "\nEUR:" + std::string(400, '9') + "\n";
    if (spoilt.find('\0') > body.size()) {
        FUZZ_CHECK(!acquisition::HoldsForwardPoint(spoilt));
        const std::string readable = std::string(body) + "\nEUR 12.5\n";
        if (holds) {
            FUZZ_CHECK(acquisition::HoldsForwardPoint(readable));
        }
    }

    const std::string buffer = std::string(body) + '\0';
    acquisition::FetchResult result;
    result.count = static_cast<std::int64_t>(body.size());
    const bool error_page = body.find(acquisition::kErrorPageMarker) != std::string_view::npos;
    FUZZ_CHECK(acquisition::IsForwardPointAnswer(result, buffer) ==
               (holds && !body.empty() && !error_page));
    result.cut = true;
    FUZZ_CHECK(!acquisition::IsForwardPointAnswer(result, buffer));
    result.cut = false;
    result.not_found = true;
    FUZZ_CHECK(!acquisition::IsForwardPointAnswer(result, buffer));
}

bool HoldsSection(std::string_view text) {
    return zarvex::import::HoldsOptionSection(text, zarvex::common::kSymbols);
}

// The same lines, every CR, LF or CR LF end written as one LF.
std::string LfEnds(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out.push_back('\n');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

void CheckReport(std::string_view text, std::string_view tail) {
    const bool holds = HoldsSection(text);
    bool any_symbol = false;
    for (const std::string_view symbol : zarvex::common::kSymbols) {
        any_symbol = any_symbol || text.find(symbol) != std::string_view::npos;
    }
    if (!any_symbol) {
        FUZZ_CHECK(!holds);
    }
    if (holds) {
        FUZZ_CHECK(HoldsSection(std::string(text) + "\n" + std::string(tail)));
        FUZZ_CHECK(HoldsSection(acquisition::NormaliseReport(text)));
    }
    FUZZ_CHECK(HoldsSection(LfEnds(text)) == holds);
}

}  // namespace

// Input: a flags byte, two bytes of cut point, then the body; the last quarter of the body
// doubles as the tail the checks append.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::size_t cut_at = static_cast<std::size_t>(data[1]) << 8 | data[2];
    const std::string_view body = zarvex::fuzz::AsText(data + 3, size - 3);
    const std::string_view tail = body.substr(body.size() - body.size() / 4);

    CheckWholeness(body, body.empty() ? 0 : cut_at % body.size(), flags);
    CheckForwardPoints(body, tail);
    CheckReport(body, tail);
    return 0;
}
