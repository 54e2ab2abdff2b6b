#include "common/pcre_pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <stdexcept>
#include <utility>

namespace zarvex::common {

namespace {

struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

// PCRE2 10.42 refuses a null subject even when its length is 0.
PCRE2_SPTR SubjectPointer(std::string_view subject) {
    static const char kEmpty[] = "";
    return reinterpret_cast<PCRE2_SPTR>(subject.data() != nullptr ? subject.data() : kEmpty);
}

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) {
        return "PCRE2 error " + std::to_string(code);
    }
    return reinterpret_cast<const char*>(buffer);
}

std::uint32_t CompileOptions(std::uint32_t options) {
    std::uint32_t result = 0;
    if ((options & PcrePattern::kDotAll) != 0) {
        result |= PCRE2_DOTALL;
    }
    if ((options & PcrePattern::kCaseless) != 0) {
        result |= PCRE2_CASELESS;
    }
    if ((options & PcrePattern::kMultiline) != 0) {
        result |= PCRE2_MULTILINE;
    }
    if ((options & PcrePattern::kUtf) != 0) {
        result |= PCRE2_UTF;
    }
    return result;
}

}  // namespace

std::string_view PcreMatch::Text(std::string_view subject, std::size_t group) const {
    if (group >= groups.size() || !groups[group].IsSet()) {
        return {};
    }
    const PcreSpan& span = groups[group];
    if (span.end < span.begin || span.end > subject.size()) {
        return {};
    }
    return subject.substr(span.begin, span.end - span.begin);
}

void PcrePattern::CodeDeleter::operator()(pcre2_real_code_8* code) const {
    pcre2_code_free(code);
}

std::optional<PcrePattern> PcrePattern::TryCompile(std::string_view pattern, std::uint32_t options,
                                                   std::string* error) {
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* compiled = pcre2_compile(SubjectPointer(pattern), pattern.size(),
                                         CompileOptions(options), &code, &offset, nullptr);
    if (compiled == nullptr) {
        if (error != nullptr) {
            *error = ErrorText(code) + " at offset " + std::to_string(offset);
        }
        return std::nullopt;
    }
    PcrePattern result;
    result.code_.reset(compiled);
    result.source_ = std::string(pattern);
    std::uint32_t captures = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_CAPTURECOUNT, &captures);
    result.capture_count_ = static_cast<int>(captures);
    std::uint32_t all_options = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_ALLOPTIONS, &all_options);
    result.utf_ = (all_options & PCRE2_UTF) != 0;
    std::uint32_t newline = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_NEWLINE, &newline);
    result.crlf_is_newline_ = newline == PCRE2_NEWLINE_ANY || newline == PCRE2_NEWLINE_CRLF ||
                              newline == PCRE2_NEWLINE_ANYCRLF;
    return result;
}

PcrePattern::PcrePattern(std::string_view pattern, std::uint32_t options) {
    std::string error;
    std::optional<PcrePattern> compiled = TryCompile(pattern, options, &error);
    if (!compiled) {
        throw std::invalid_argument("bad pattern " + std::string(pattern) + ": " + error);
    }
    *this = std::move(*compiled);
}

PcrePattern::PcrePattern(PcrePattern&& other) noexcept = default;
PcrePattern& PcrePattern::operator=(PcrePattern&& other) noexcept = default;
PcrePattern::~PcrePattern() = default;

PcreOutcome PcrePattern::FindWith(pcre2_match_data* data, std::string_view subject,
                                  std::size_t start, std::uint32_t flags, PcreMatch& match) const {
    if (!code_ || data == nullptr) {
        return PcreOutcome::kFailed;
    }
    if (start > subject.size()) {
        return PcreOutcome::kNotFound;
    }
    const int rc = pcre2_match(code_.get(), SubjectPointer(subject), subject.size(), start, flags,
                               data, nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) {
        return PcreOutcome::kNotFound;
    }
    if (rc <= 0) {
        return PcreOutcome::kFailed;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    // Groups above the highest one that matched are not reported: size by the pattern.
    match.groups.assign(static_cast<std::size_t>(capture_count_) + 1, PcreSpan{});
    const std::size_t reported =
        std::min<std::size_t>(static_cast<std::size_t>(rc), match.groups.size());
    for (std::size_t i = 0; i < reported; ++i) {
        if (ovector[2 * i] != PCRE2_UNSET) {
            match.groups[i] = PcreSpan{ovector[2 * i], ovector[2 * i + 1]};
        }
    }
    return PcreOutcome::kFound;
}

PcreOutcome PcrePattern::Find(std::string_view subject, std::size_t start, PcreMatch& match) const {
    if (!code_) {
        return PcreOutcome::kFailed;
    }
    MatchData data(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    return FindWith(data.get(), subject, start, 0, match);
}

// One character on from offset: a CR LF pair counts as one when it is a line end, and a
// UTF-8 sequence is never cut.
std::size_t PcrePattern::NextStart(std::string_view subject, std::size_t offset) const {
    std::size_t next = offset + 1;
    if (crlf_is_newline_ && offset + 1 < subject.size() && subject[offset] == '\r' &&
        subject[offset + 1] == '\n') {
        return offset + 2;
    }
    if (utf_) {
        while (next < subject.size() &&
               (static_cast<unsigned char>(subject[next]) & 0xC0) == 0x80) {
            ++next;
        }
    }
    return next;
}

std::optional<std::vector<PcreMatch>> PcrePattern::FindAll(std::string_view subject) const {
    if (!code_) {
        return std::nullopt;
    }
    MatchData data(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    if (!data) {
        return std::nullopt;
    }
    std::vector<PcreMatch> matches;
    std::size_t offset = 0;
    std::uint32_t flags = 0;
    while (offset <= subject.size()) {
        PcreMatch match;
        const PcreOutcome outcome = FindWith(data.get(), subject, offset, flags, match);
        if (outcome == PcreOutcome::kFailed) {
            return std::nullopt;
        }
        if (outcome == PcreOutcome::kNotFound) {
            if (flags == 0) {
                break;
            }
            // No non-empty match where the empty one was: move on one character.
            offset = NextStart(subject, offset);
            flags = 0;
            continue;
        }
        const std::size_t begin = match.Begin();
        const std::size_t end = match.End();
        if (end < begin) {
            // Only \K inside a lookaround can do this; walking on could loop forever.
            return std::nullopt;
        }
        matches.push_back(std::move(match));
        if (end == begin) {
            if (end == subject.size()) {
                break;
            }
            flags = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
        } else {
            flags = 0;
        }
        offset = end;
    }
    return matches;
}

std::optional<std::vector<std::string_view>> PcrePattern::FindAllTexts(std::string_view subject,
                                                                       std::size_t group) const {
    std::optional<std::vector<PcreMatch>> matches = FindAll(subject);
    if (!matches) {
        return std::nullopt;
    }
    std::vector<std::string_view> texts;
    texts.reserve(matches->size());
    for (const PcreMatch& match : *matches) {
        texts.push_back(match.Text(subject, group));
    }
    return texts;
}

}  // namespace zarvex::common
