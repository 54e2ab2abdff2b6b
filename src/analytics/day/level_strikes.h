#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zarvex::analytics {

// The CALL or PUT level's strike of a contract for any day at once. The panel finds it by
// pouring the volumes of every stored row of the contract, in row order, into slots of a
// capacity that depends on the day (three times the day's rows, plus one): the first strikes
// to appear take the slots, later new strikes are lost, and the slot with the largest volume
// wins. Only the capacity changes from day to day, so one pass over the rows keeps, for every
// number of slots in use, the winner among the first strikes; a day then costs a lookup.
class LevelStrikes final {
public:
    // Rows in the order the panel reads them.
    void Add(double strike, std::int64_t volume);
    // The level strike with `capacity` slots, exactly as the panel's slots give it: the
    // busiest of the first `capacity` strikes (the first among equal totals, the first strike
    // when no total is positive), or 0.0 when a free slot holds more volume from rows with the
    // strike 0.0.
    double StrikeFor(std::int64_t capacity) const;

private:
    std::vector<double> strikes_;  // in order of first appearance
    std::vector<std::int64_t> volumes_;
    std::unordered_map<double, std::size_t> index_;
    std::size_t next_ = 0;  // the slot after the one last added to
    // Volume of rows with the strike 0.0 since the last new strike: they land in the first free
    // slot, which a new strike then takes over.
    std::int64_t free_slot_volume_ = 0;
};

}  // namespace zarvex::analytics
