#pragma once

#include "acquisition/http_transport.h"
#include "acquisition/network_settings.h"
#include "acquisition/stop_flag.h"

namespace zarvex::acquisition {

// HttpTransport over libcurl: plain HTTP, the system's proxy settings (loopback always
// direct), no cookies, the time-outs given. Every call uses its own handle, so calls from
// several threads may run at once. A transfer running when the stop flag is set ends within
// about a second, as a failed fetch.
class CurlTransport final : public HttpTransport {
public:
    explicit CurlTransport(NetworkTimeouts timeouts = {}, const StopFlag* stop = nullptr);

    std::string FetchText(std::string_view url) override;
    FetchResult FetchToBuffer(std::string_view url, std::string& buffer,
                              std::size_t capacity) override;

private:
    NetworkTimeouts timeouts_;
    const StopFlag* stop_;
};

}  // namespace zarvex::acquisition
