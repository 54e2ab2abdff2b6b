#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/date.h"
#include "reportgen/product.h"

namespace zarvex::reportgen {

// A volatility with a memory and the futures price it drives: the at-the-money level follows a
// mean-reverting log process between a calm and a stressed regime, and each trading day the
// futures move by a normal return whose volatility is that level less a premium, so that the
// options price more than the futures then do. Everything is a function of (seed, product, day),
// walked forward from a fixed origin, so any day comes out the same on its own.
class VolatilityPath final {
public:
    struct Point {
        double futures = 0.0;
        double atm = 0.0;       // the at-the-money level per year, before the term structure
        double realized = 0.0;  // the volatility per year of the return that led to this day
        double log_return = 0.0;
    };

    VolatilityPath(std::uint64_t seed, double premium);

    // The day's point; days before the origin take the origin's.
    Point At(const Product& product, common::Date day) const;
    double Premium() const { return premium_; }

private:
    struct Walk {
        std::vector<Point> points;  // one per calendar day from the origin
        double log_vol = 0.0;
        double log_futures = 0.0;
        bool stressed = false;
    };
    void Extend(const Product& product, Walk& walk, std::size_t upto) const;

    std::uint64_t seed_;
    double premium_;
    // Filled as days are asked for; shared by copies of the model.
    struct Cache {
        std::mutex mutex;
        std::map<std::string, Walk> walks;
    };
    std::shared_ptr<Cache> cache_ = std::make_shared<Cache>();
};

}  // namespace zarvex::reportgen
