// The implied-volatility figures over any chain of premiums, however broken: strikes and
// premiums of every kind of double (negative, zero, huge, infinite, NaN), any days to expiry.
// Whatever comes in, nothing throws or crashes, and what comes out keeps its promises: a
// volatility lies in (0, 5] and prices its premium back within 1e-8, the smile is the strikes'
// order, ATM lies within the smile, chances are chances.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/contract_volatility.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace analytics = zarvex::analytics;
namespace common = zarvex::common;

class Reader final {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ + sizeof(double) > size_; }
    // 0 once the input is used up.
    double Next() {
        double value = 0.0;
        if (Done()) {
            at_ = size_;
            return value;
        }
        std::memcpy(&value, data_ + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader reader(data, size);
    const std::int64_t days = static_cast<std::int8_t>(reader.Byte());
    analytics::OptionChain chain;
    double strike = 0.0;
    while (!reader.Done() && chain.strikes.size() < 64) {
        const std::uint8_t sides = reader.Byte();
        // Strikes as the reader gives them: above zero, finite, ascending, distinct.
        strike += std::fabs(reader.Next());
        if (!std::isfinite(strike) || strike <= 0.0 ||
            (!chain.strikes.empty() && strike <= chain.strikes.back().strike)) {
            break;
        }
        analytics::ChainStrike entry;
        entry.strike = strike;
        if ((sides & 1) != 0 && !reader.Done()) {
            entry.call = {true, reader.Next(), 0.5, 1};
        }
        if ((sides & 2) != 0 && !reader.Done()) {
            entry.put = {true, reader.Next(), 0.5, 1};
        }
        chain.strikes.push_back(entry);
    }
    for (auto& entry : chain.strikes) {
        for (auto* side : {&entry.call, &entry.put}) {
            if (!std::isfinite(side->premium)) {
                side->premium = 0.0;  // as the reader stores a non-finite number
            }
        }
    }

    const analytics::ContractVolatility figures = analytics::VolatilityForDays(chain, days);
    if (figures.status != analytics::VolatilityStatus::kReady) {
        FUZZ_CHECK(!figures.atm_vol && figures.smile.empty());
        return 0;
    }
    FUZZ_CHECK(days > 0);
    FUZZ_CHECK(std::isfinite(figures.forward) && figures.forward > 0.0);
    FUZZ_CHECK(figures.discount == 1.0 || (figures.discount > 0.8 && figures.discount <= 1.0001));
    for (const analytics::VolatilityPoint& point : figures.points) {
        for (const bool call : {true, false}) {
            const analytics::SideVolatility& side = call ? point.call : point.put;
            const analytics::ChainSide& quote = call ? point.quote.call : point.quote.put;
            FUZZ_CHECK(side.vol.has_value() == (side.reason == analytics::NoVolReason::kNone));
            if (side.vol) {
                FUZZ_CHECK(*side.vol > 0.0 && *side.vol <= 5.0);
                const auto price = analytics::black76::Price(
                    call ? common::Side::kCall : common::Side::kPut, figures.forward,
                    point.quote.strike, *side.vol * std::sqrt(figures.years), figures.discount);
                FUZZ_CHECK(price && std::fabs(*price - quote.premium) <= 1e-8);
            }
        }
    }
    for (std::size_t i = 1; i < figures.smile.size(); ++i) {
        FUZZ_CHECK(figures.smile[i - 1].strike < figures.smile[i].strike);
    }
    if (figures.atm_vol) {
        const auto [low, high] =
            std::minmax_element(figures.smile.begin(), figures.smile.end(),
                                [](const auto& a, const auto& b) { return a.vol < b.vol; });
        // Between its two points, up to the rounding of the interpolation itself.
        const double slack = 1e-12 * high->vol;
        FUZZ_CHECK(*figures.atm_vol >= low->vol - slack && *figures.atm_vol <= high->vol + slack);
        FUZZ_CHECK(figures.expected_move && std::isfinite(*figures.expected_move));
        for (const double x : {figures.forward, figures.bands[0], figures.bands[3], strike}) {
            if (const auto chance = analytics::ProbabilityAbove(figures, x)) {
                FUZZ_CHECK(*chance >= 0.0 && *chance <= 1.0);
            }
        }
    }
    return 0;
}
