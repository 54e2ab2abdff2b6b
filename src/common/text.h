#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::common {

// Removes blanks (spaces only, as everywhere in the program) from both ends.
std::string_view Trim(std::string_view text);
std::string TrimCopy(std::string_view text);

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool Contains(std::string_view text, std::string_view part);
std::vector<std::string_view> Split(std::string_view text, char separator);

// A user's value as an error text quotes it: at most kMostQuoted characters (UTF-8 sequences
// kept whole), then "..." where it was cut, so that a megabyte of junk still gives a line that
// reads.
inline constexpr std::size_t kMostQuoted = 200;
std::string Capped(std::string_view value);

// Numbers as text always use a decimal point, whatever the locale.
// Fixed-point with the given number of decimals, rounded as printf("%.*f") rounds.
std::string FormatFixed(double value, int decimals);
// Up to ten decimals, then trailing zeros and a trailing point removed: 1.25 -> "1.25",
// 3.0 -> "3", 0.1 + 0.2 -> "0.3".
std::string FormatShort(double value);

// Reads a number the way the C library's atof/atoi do: leading blanks and tabs are skipped,
// the longest numeric prefix counts, and text without one reads as 0. Never returns inf or
// nan: such values read as 0.
double ToDouble(std::string_view text);
std::int64_t ToInt(std::string_view text);

// Strict readers: the whole text (without surrounding blanks) must be the number.
std::optional<double> ParseDouble(std::string_view text);
std::optional<std::int64_t> ParseInt(std::string_view text);

// Length of the valid UTF-8 sequence at the front of text (1 to 4), 0 when it is none: an
// overlong form, a surrogate, a code past U+10FFFF or a cut sequence. text must not be empty.
// Texts from reports may hold any byte, and JSON readers refuse bad UTF-8.
std::size_t Utf8SequenceLength(std::string_view text);

}  // namespace zarvex::common
