#pragma once

#include <optional>

#include "common/side.h"

namespace zarvex::analytics::black76 {

// Black-76 for European options on a future: the price and its sensitivities from the forward
// F, the strike K, the standard deviation sigma * sqrt(T) and the discount D. Everything here
// is a thin wrapper over QuantLib; its types and exceptions stay inside black76.cpp, and every
// input that QuantLib would refuse (a non-positive forward or strike, a negative deviation, a
// discount outside (0, 1.5)) gives nullopt instead.

struct Greeks {
    double delta = 0.0;  // d price / d F
    double gamma = 0.0;  // d2 price / d F2
    double vega = 0.0;   // price change for one volatility point (0.01)
    double theta = 0.0;  // price change for one calendar day less to expiry
};

std::optional<double> Price(common::Side side, double forward, double strike, double std_dev,
                            double discount);

// The standard deviation at which the price equals premium, solved to the solver's own
// precision; nullopt where QuantLib finds none (a premium outside the prices the model can
// give, a solver that does not converge).
std::optional<double> ImpliedStdDev(common::Side side, double forward, double strike,
                                    double premium, double discount);

// years > 0; the volatility is per year.
std::optional<Greeks> GreeksOf(common::Side side, double forward, double strike, double volatility,
                               double years, double discount);

// N(d1) of a CALL: its forward delta without the discount.
std::optional<double> CallForwardDelta(double forward, double strike, double std_dev);

// N(d2): the chance, under the model's measure, that the future finishes above strike.
std::optional<double> ChanceAbove(double forward, double strike, double std_dev);

// F * n(d1): the undiscounted price's change per unit of the standard deviation, what the
// smile's slope is multiplied by to move a chance or a price along the smile.
std::optional<double> ForwardVegaPerStdDev(double forward, double strike, double std_dev);

// The price's second derivative to the forward (with the discount), for repeated use where the
// other sensitivities are not wanted.
std::optional<double> Gamma(double forward, double strike, double std_dev, double discount);

}  // namespace zarvex::analytics::black76
