#pragma once

#include <optional>
#include <string_view>

namespace zarvex::common {

// The side of an option. Rows, settings and the report spell it "CALL"/"PUT"; the analytics
// work with the enum and turn it back into text only where they print it.
enum class Side { kCall, kPut };

inline constexpr Side kSides[] = {Side::kCall, Side::kPut};

// "CALL" or "PUT": the spelling of the report, the quote files and the command line.
constexpr std::string_view SideText(Side side) {
    return side == Side::kCall ? "CALL" : "PUT";
}

// The side a stored or reported text names; nothing for any other text (the quote files may
// hold rows of other options, which no figure counts).
constexpr std::optional<Side> SideFromText(std::string_view text) {
    if (text == "CALL") {
        return Side::kCall;
    }
    if (text == "PUT") {
        return Side::kPut;
    }
    return std::nullopt;
}

constexpr Side Opposite(Side side) {
    return side == Side::kCall ? Side::kPut : Side::kCall;
}

constexpr bool IsCall(Side side) {
    return side == Side::kCall;
}

static_assert(SideFromText(SideText(Side::kPut)) == Side::kPut && !SideFromText("call"));

}  // namespace zarvex::common
