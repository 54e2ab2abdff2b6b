#pragma once

#include <cstdint>
#include <optional>

namespace zarvex::analytics {

// A share of cases with its 95% Wilson score interval:
// (p + z²/2n ± z·√(p(1−p)/n + z²/4n²)) / (1 + z²/n), z = 1.96. Over no case there is none.
struct ShareInterval {
    double share = 0.0;
    double low = 0.0;
    double high = 0.0;

    bool operator==(const ShareInterval&) const = default;
};

std::optional<ShareInterval> WilsonInterval(std::int64_t hits, std::int64_t cases);

}  // namespace zarvex::analytics
