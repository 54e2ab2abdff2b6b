#pragma once

#include <optional>
#include <vector>

#include "analytics/volatility/smile.h"

namespace zarvex::analytics {

// The smile as a smooth curve of the strike: the natural cubic spline through its points (the
// straight line through two), flat beyond the outermost points. Its slope is what turns N(d2)
// into the chance the premiums themselves imply, so a kinked piecewise-linear smile would give
// jumps in that chance at every listed strike.
class SmoothSmile final {
public:
    // points ascending by strike; a point whose strike is not above the previous one is left
    // out. Fewer than two usable points: no curve (Usable() is false).
    explicit SmoothSmile(const std::vector<SmilePoint>& points);

    bool Usable() const { return strikes_.size() >= 2; }
    double Lowest() const { return strikes_.front(); }
    double Highest() const { return strikes_.back(); }

    // The volatility and its slope d sigma / d K at x. Within [Lowest(), Highest()] the
    // spline's own (at the end points the slope from inside); beyond, the end's volatility
    // and a slope of 0. nullopt without a curve or for a non-finite x.
    std::optional<double> VolAt(double x) const;
    std::optional<double> SlopeAt(double x) const;

private:
    // The interval [strikes_[i], strikes_[i + 1]] holding x, for x inside the ends.
    std::size_t IntervalOf(double x) const;

    std::vector<double> strikes_;
    std::vector<double> vols_;
    // The second derivative at each point; zero at both ends (the natural spline).
    std::vector<double> curvatures_;
};

}  // namespace zarvex::analytics
