#pragma once

#include <string_view>

namespace zarvex::acquisition {

// Whether an interface other than the loopback is up and running. True when the system
// cannot tell, so that a failed check never blocks the downloads.
bool IsNetworkUp();

// Whether the host ("host" or "host:port") is this computer: 127.x.x.x, ::1 or localhost.
bool IsLoopbackHost(std::string_view host);

// The network test of the downloads: a report server on this computer needs no network.
bool IsNetworkUpFor(std::string_view report_host);

}  // namespace zarvex::acquisition
