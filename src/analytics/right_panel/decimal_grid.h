#pragma once

#include <cstddef>
#include <optional>

namespace zarvex::analytics {

// The positions of the histogram axes are regular grids: origin + k x step for k = 0 .. count - 1
// (strikes at a fixed step, or price bins of 1 / resolution). A value belongs to a position
// when both, written as decimal numbers with up to ten decimals and no trailing zeros, read the
// same. That rule compares texts; this finds the one candidate position arithmetically and
// confirms it by the same text comparison, so the answer is the one a comparison with every
// position would give, at the cost of one or two comparisons.
inline double GridPosition(double origin, double step, std::size_t k) {
    return origin + static_cast<double>(k) * step;
}

// The index whose position reads the same as value; nullopt when none does (a value off the
// grid, outside it, or not finite).
std::optional<std::size_t> FindOnDecimalGrid(double value, double origin, double step,
                                             std::size_t count);

}  // namespace zarvex::analytics
