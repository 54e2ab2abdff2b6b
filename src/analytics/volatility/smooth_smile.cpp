#include "analytics/volatility/smooth_smile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace zarvex::analytics {

SmoothSmile::SmoothSmile(const std::vector<SmilePoint>& points) {
    for (const SmilePoint& point : points) {
        if (!std::isfinite(point.strike) || !std::isfinite(point.vol) ||
            (!strikes_.empty() && !(point.strike > strikes_.back()))) {
            continue;
        }
        strikes_.push_back(point.strike);
        vols_.push_back(point.vol);
    }
    const std::size_t n = strikes_.size();
    curvatures_.assign(n, 0.0);
    if (n < 3) {
        return;
    }
    // The tridiagonal system of the inner second derivatives (the Thomas algorithm); the
    // matrix is diagonally dominant, so no pivoting is needed.
    std::vector<double> diagonal(n, 0.0);
    std::vector<double> right(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double left_width = strikes_[i] - strikes_[i - 1];
        const double right_width = strikes_[i + 1] - strikes_[i];
        diagonal[i] = 2.0 * (left_width + right_width);
        right[i] = 6.0 * ((vols_[i + 1] - vols_[i]) / right_width -
                          (vols_[i] - vols_[i - 1]) / left_width);
        if (i > 1) {
            const double factor = left_width / diagonal[i - 1];
            diagonal[i] -= factor * left_width;
            right[i] -= factor * right[i - 1];
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        const double right_width = strikes_[i + 1] - strikes_[i];
        curvatures_[i] = (right[i] - right_width * curvatures_[i + 1]) / diagonal[i];
    }
}

std::size_t SmoothSmile::IntervalOf(double x) const {
    const auto above = std::upper_bound(strikes_.begin(), strikes_.end(), x);
    const auto index = static_cast<std::size_t>(above - strikes_.begin());
    return std::clamp<std::size_t>(index == 0 ? 0 : index - 1, 0, strikes_.size() - 2);
}

std::optional<double> SmoothSmile::VolAt(double x) const {
    if (!Usable() || !std::isfinite(x)) {
        return std::nullopt;
    }
    if (x <= strikes_.front()) {
        return vols_.front();
    }
    if (x >= strikes_.back()) {
        return vols_.back();
    }
    const std::size_t i = IntervalOf(x);
    const double width = strikes_[i + 1] - strikes_[i];
    const double a = (strikes_[i + 1] - x) / width;
    const double b = 1.0 - a;
    return a * vols_[i] + b * vols_[i + 1] +
           ((a * a * a - a) * curvatures_[i] + (b * b * b - b) * curvatures_[i + 1]) * width *
               width / 6.0;
}

std::optional<double> SmoothSmile::SlopeAt(double x) const {
    if (!Usable() || !std::isfinite(x)) {
        return std::nullopt;
    }
    if (x < strikes_.front() || x > strikes_.back()) {
        return 0.0;
    }
    const std::size_t i = IntervalOf(x);
    const double width = strikes_[i + 1] - strikes_[i];
    const double a = (strikes_[i + 1] - x) / width;
    const double b = 1.0 - a;
    return (vols_[i + 1] - vols_[i]) / width - (3.0 * a * a - 1.0) * width / 6.0 * curvatures_[i] +
           (3.0 * b * b - 1.0) * width / 6.0 * curvatures_[i + 1];
}

}  // namespace zarvex::analytics
