#pragma once

namespace zarvex::acquisition {

// Whether an interface other than the loopback is up and running. True when the system
// cannot tell, so that a failed check never blocks the downloads.
bool IsNetworkUp();

}  // namespace zarvex::acquisition
