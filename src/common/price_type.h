#pragma once

#include <cstdint>
#include <optional>

namespace zarvex::common {

// How a strike is shown. The settings store the type as one byte: 0 Futures, 1 Standart,
// 2 Forex; those codes stay in the settings rows and the day contexts read from them.
enum class PriceType : std::int8_t {
    kFutures = 0,   // strike + premium for a CALL, strike - premium for a PUT
    kStandart = 1,  // the strike itself
    kForex = 2,     // as Futures, then quoted as spot with the forward point
};

// The type a stored code names; nothing for a code no settings row should hold.
constexpr std::optional<PriceType> KnownPriceType(int code) {
    switch (code) {
        case 0:
            return PriceType::kFutures;
        case 1:
            return PriceType::kStandart;
        case 2:
            return PriceType::kForex;
        default:
            return std::nullopt;
    }
}

constexpr int PriceTypeCode(PriceType type) {
    return static_cast<int>(type);
}

// Futures and Forex move a strike by the option's premium; Standart shows the strike itself.
constexpr bool ShiftsByPremium(PriceType type) {
    return type != PriceType::kStandart;
}

// The type a settings byte holds. A byte other than 0, 1 and 2 (a hand-edited or damaged row)
// is carried as it is: it is none of the three, so every price shown with it is "0", as the
// panel has always shown such a row.
constexpr PriceType PriceTypeFromCode(std::int8_t code) {
    return static_cast<PriceType>(code);
}

static_assert(KnownPriceType(PriceTypeCode(PriceType::kForex)) == PriceType::kForex &&
              !KnownPriceType(3));

}  // namespace zarvex::common
