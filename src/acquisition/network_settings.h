#pragma once

#include <chrono>

namespace zarvex::acquisition {

// Limits that keep a silent or crawling server from holding a worker thread for good.
struct NetworkTimeouts {
    // Until the TCP connection is made.
    std::chrono::milliseconds connect{10'000};
    // HTTP: a transfer that stays below low_speed bytes a second for this long is given up, so
    // a server that drips a few bytes a second cannot hold it. The time request: no answer at
    // all for this long.
    std::chrono::milliseconds stall{30'000};
    long low_speed = 1024;
    // Whole transfer, however it goes.
    std::chrono::milliseconds total{600'000};
    // The network time: the time hosts together, however many and however silent, and the
    // whole of it (the time hosts and then the exchange-time page).
    std::chrono::milliseconds time_hosts_bound{60'000};
    std::chrono::milliseconds network_time_bound{90'000};
};

}  // namespace zarvex::acquisition
