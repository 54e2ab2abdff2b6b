#include "acquisition/network_status.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <memory>

#include "acquisition/host_address.h"
#include "common/text.h"

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

bool IsLoopbackHost(std::string_view host) {
    const auto address = ParseHostAddress(host);
    if (!address) {
        return false;
    }
    const std::string name = common::ToLowerAscii(address->host);
    return name == "localhost" || name == "::1" || common::StartsWith(name, "127.");
}

bool IsNetworkUpFor(std::string_view report_host) {
    return IsLoopbackHost(report_host) || IsNetworkUp();
}

}  // namespace zarvex::acquisition
