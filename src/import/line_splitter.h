#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zarvex::import {

// How report files fall into lines, shared by every reader of them: a line ends at CR, at LF,
// at CR LF (one end), or at a NUL byte; the end characters are not part of the line. Bytes
// after the last line end form one more line; a file that ends with a line end has no empty
// line after it. A line longer than kMaxLineLength is cut to that length and the rest of it
// up to its end is skipped, which keeps memory bounded on files that are not reports at all
// (no report line comes anywhere near it).
inline constexpr std::size_t kMaxLineLength = 65536;

constexpr bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

// The first line end in [first, last), or last.
inline const char* FindLineEnd(const char* first, const char* last) {
    // Eight bytes at a time: every line end is below 0x0E, so a word with no byte below 0x0E
    // is skipped whole. Tabs and the like stop the fast loop but are rejected byte by byte.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    while (last - first >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, first, sizeof word);
        if (((word - kOnes * 0x0E) & ~word & kHigh) != 0) {
            for (int i = 0; i < 8; ++i) {
                if (IsLineEnd(first[i])) {
                    return first + i;
                }
            }
        }
        first += 8;
    }
    while (first != last && !IsLineEnd(*first)) {
        ++first;
    }
    return first;
}

// Lines of a report already in memory; the views point into the text.
class TextLines final {
public:
    explicit TextLines(std::string_view text)
        : pos_(text.data()), end_(text.data() + text.size()) {}

    // False when no line is left.
    bool NextLine(std::string_view& line) {
        if (pos_ == end_) {
            return false;
        }
        const char* stop = FindLineEnd(pos_, end_);
        const std::size_t length = static_cast<std::size_t>(stop - pos_);
        line = std::string_view(pos_, length < kMaxLineLength ? length : kMaxLineLength);
        pos_ = stop;
        if (pos_ != end_) {
            const char terminator = *pos_++;
            if (terminator == '\r' && pos_ != end_ && *pos_ == '\n') {
                ++pos_;
            }
        }
        return true;
    }

private:
    const char* pos_;
    const char* end_;
};

}  // namespace zarvex::import
