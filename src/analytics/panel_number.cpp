#include "analytics/panel_number.h"

#include <algorithm>
#include <bit>

#include "common/text.h"

namespace zarvex::analytics {

PanelNumber PanelNumber::Blank() {
    PanelNumber number;
    number.kind_ = Kind::kBlank;
    return number;
}

PanelNumber PanelNumber::Fixed(double value, int decimals) {
    PanelNumber number;
    number.kind_ = Kind::kNumber;
    number.decimals_ = std::clamp(decimals, 0, 20);
    // Reading the shown digits back gives the double nearest to them, which shows as the same
    // digits again.
    number.value_ = common::ToDouble(common::FormatFixed(value, number.decimals_));
    return number;
}

std::string PanelNumber::Text() const {
    switch (kind_) {
        case Kind::kEmpty:
            return {};
        case Kind::kBlank:
            return " ";
        case Kind::kNumber:
            return common::FormatFixed(value_, decimals_);
    }
    return {};
}

bool PanelNumber::operator==(const PanelNumber& other) const {
    // Compared bit for bit: -0.0000 and 0.0000 are different texts.
    return kind_ == other.kind_ && decimals_ == other.decimals_ &&
           std::bit_cast<std::uint64_t>(value_) == std::bit_cast<std::uint64_t>(other.value_);
}

}  // namespace zarvex::analytics
