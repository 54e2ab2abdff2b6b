#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The 8-bit code type of PCRE2, declared here so that users need not include pcre2.h with
// its code-unit-width macro.
struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace zarvex::common {

// Where one capture group of a match lies in the subject (byte offsets).
struct PcreSpan {
    static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);
    std::size_t begin = kUnset;
    std::size_t end = kUnset;
    bool IsSet() const { return begin != kUnset; }
};

// One match: groups[0] is the whole match, then one span per capture group of the pattern
// (unset where the group took no part in the match).
struct PcreMatch {
    std::vector<PcreSpan> groups;

    std::size_t Begin() const { return groups.empty() ? 0 : groups[0].begin; }
    std::size_t End() const { return groups.empty() ? 0 : groups[0].end; }
    // The text of a group; empty when the group is unset or out of range.
    std::string_view Text(std::string_view subject, std::size_t group = 0) const;
};

enum class PcreOutcome {
    kFound,
    kNotFound,
    kFailed,  // the matcher gave up: match or depth limit, bad UTF-8, no memory
};

// A compiled PCRE2 (8-bit) pattern. Matching allocates its own match data per call, so one
// pattern may be shared between threads.
class PcrePattern final {
public:
    enum Option : std::uint32_t {
        kDotAll = 1u << 0,  // "." also matches line ends
        kCaseless = 1u << 1,
        kMultiline = 1u << 2,  // "^" and "$" at every line
        kUtf = 1u << 3,        // pattern and subjects are UTF-8; bad UTF-8 fails the match
    };

    // Throws std::invalid_argument with PCRE2's message and offset for a bad pattern: meant
    // for the program's own fixed patterns.
    explicit PcrePattern(std::string_view pattern, std::uint32_t options = 0);
    // For patterns that come from outside: nullopt and the reason in *error.
    static std::optional<PcrePattern> TryCompile(std::string_view pattern,
                                                 std::uint32_t options = 0,
                                                 std::string* error = nullptr);

    PcrePattern(PcrePattern&& other) noexcept;
    PcrePattern& operator=(PcrePattern&& other) noexcept;
    PcrePattern(const PcrePattern&) = delete;
    PcrePattern& operator=(const PcrePattern&) = delete;
    ~PcrePattern();

    const std::string& Source() const { return source_; }
    int CaptureCount() const { return capture_count_; }

    // The first match at or after byte offset start. Lookbehinds may look at the bytes
    // before start, and "^" means the start of the subject, not of the search.
    PcreOutcome Find(std::string_view subject, std::size_t start, PcreMatch& match) const;

    // Every match from left to right, walking the subject as Perl's //g does: after an
    // empty match the same position is tried once more for a non-empty match anchored there,
    // and only when that fails does the search move on by one character. nullopt when the
    // matcher gave up part way, since a shortened list would pass for a complete one.
    std::optional<std::vector<PcreMatch>> FindAll(std::string_view subject) const;
    // The same, giving the text of one group of each match.
    std::optional<std::vector<std::string_view>> FindAllTexts(std::string_view subject,
                                                              std::size_t group = 0) const;

private:
    PcrePattern() = default;
    PcreOutcome FindWith(pcre2_real_match_data_8* data, std::string_view subject, std::size_t start,
                         std::uint32_t flags, PcreMatch& match) const;
    std::size_t NextStart(std::string_view subject, std::size_t offset) const;

    struct CodeDeleter {
        void operator()(pcre2_real_code_8* code) const;
    };
    std::unique_ptr<pcre2_real_code_8, CodeDeleter> code_;
    std::string source_;
    int capture_count_ = 0;
    bool utf_ = false;
    bool crlf_is_newline_ = false;
};

}  // namespace zarvex::common
