#pragma once

#include <string>

#include "acquisition/http_transport.h"
#include "acquisition/network_settings.h"
#include "acquisition/stop_flag.h"

namespace zarvex::acquisition {

// HttpTransport over libcurl: plain HTTP or HTTPS as the URL says, the system's proxy settings
// (loopback always direct), no cookies, the time-outs given. An https server's certificate
// must verify, against the system's store or against the CA bundle given; a failure is
// libcurl's reason, never a retry over plain HTTP. Every call uses its own handle, so calls from
// several threads may run at once. A transfer running when the stop flag is set ends within
// about a second, as a failed fetch; so does one that reaches the deadline given to it.
class CurlTransport final : public HttpTransport {
public:
    explicit CurlTransport(NetworkTimeouts timeouts = {}, const StopFlag* stop = nullptr,
                           std::string ca_file = {});

private:
    std::string DoFetchText(std::string_view url, Deadline deadline, std::string* failure) override;
    FetchResult DoFetchToBuffer(std::string_view url, std::string& buffer, std::size_t capacity,
                                Deadline deadline) override;

    NetworkTimeouts timeouts_;
    const StopFlag* stop_;
    std::string ca_file_;
};

}  // namespace zarvex::acquisition
