#include "acquisition/network_status.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <memory>

namespace zarvex::acquisition {

namespace {
struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};
}  // namespace

bool IsNetworkUp() {
    ifaddrs* found = nullptr;
    if (getifaddrs(&found) != 0) {
        return true;
    }
    const std::unique_ptr<ifaddrs, IfAddrsDeleter> list(found);
    for (const ifaddrs* item = list.get(); item != nullptr; item = item->ifa_next) {
        const unsigned flags = item->ifa_flags;
        if ((flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0 && (flags & IFF_LOOPBACK) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace zarvex::acquisition
