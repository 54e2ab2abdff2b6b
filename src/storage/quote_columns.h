#pragma once

// Positions of the quote table's columns in "SELECT * FROM dating", in the order the table
// is created with.
namespace zarvex::storage::quote_column {

inline constexpr int kId = 0;
inline constexpr int kStrike = 1;
inline constexpr int kPrice = 2;
inline constexpr int kDelta = 3;
inline constexpr int kVolume = 4;
inline constexpr int kOi = 5;
inline constexpr int kDoi = 6;
inline constexpr int kSign = 7;
inline constexpr int kSymb = 8;
inline constexpr int kOption = 9;
inline constexpr int kContract = 10;
inline constexpr int kExpiration = 11;
inline constexpr int kDate = 12;
inline constexpr int kCount = 13;

}  // namespace zarvex::storage::quote_column
