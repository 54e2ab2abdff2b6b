#pragma once

#include <cstdint>
#include <string>

namespace zarvex::analytics {

// A number of a panel cell together with the decimals the cell shows it with. It holds the
// value as shown, rounded to those decimals, so that two numbers are equal exactly when their
// texts are, and whatever is reckoned from a shown price uses the price the user sees.
class PanelNumber final {
public:
    // An empty cell.
    PanelNumber() = default;
    // A cell with one blank: a level without a strike.
    static PanelNumber Blank();
    // A value that is not finite counts as zero, as in the text it gives.
    static PanelNumber Fixed(double value, int decimals);

    bool IsNumber() const { return kind_ == Kind::kNumber; }
    double Value() const { return value_; }
    int Decimals() const { return decimals_; }

    // The cell's text: nothing, one blank, or the value with its decimals.
    std::string Text() const;

    // Same text.
    bool operator==(const PanelNumber& other) const;

private:
    enum class Kind : std::uint8_t { kEmpty, kBlank, kNumber };

    Kind kind_ = Kind::kEmpty;
    int decimals_ = 0;
    double value_ = 0.0;
};

}  // namespace zarvex::analytics
