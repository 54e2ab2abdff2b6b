#pragma once

#include <optional>

#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/smooth_smile.h"

namespace zarvex::analytics {

// The chances the premiums of one contract imply for the settlement, read along the smooth
// smile: N(d2) alone treats every strike as if the whole smile were flat at its volatility,
// and misses what the slope says (a PUT wing bid up means more chance of the fall).
class SmileProbability final {
public:
    explicit SmileProbability(const ContractVolatility& figures);

    // Figures of a ready contract with at least two smile points.
    bool Usable() const;

    double Forward() const { return forward_; }
    double Years() const { return years_; }
    double Discount() const { return discount_; }
    const SmoothSmile& Smile() const { return smile_; }

    // P(X) = N(d2) - F * n(d1) * sqrt(T) * slope(X), d1 and d2 of Black-76 at x with the smooth
    // smile's volatility there, clipped to [0, 1]. nullopt without a usable smile or for x <= 0.
    std::optional<double> Above(double x) const;
    // 1 - Above(x).
    std::optional<double> Below(double x) const;
    // The chance of trading at x before the expiration, by the reflection principle for a
    // future without drift: min(1, 2 P) above F, min(1, 2 (1 - P)) below F, 1 at F.
    std::optional<double> Touch(double x) const;

    // The Black-76 CALL price at strike x with the smooth smile's volatility there.
    std::optional<double> CallPrice(double x) const;

private:
    bool ready_ = false;
    double forward_ = 0.0;
    double years_ = 0.0;
    double discount_ = 1.0;
    SmoothSmile smile_;
};

}  // namespace zarvex::analytics
