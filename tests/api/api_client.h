#pragma once

#include <curl/curl.h>

#include <string>
#include <utility>
#include <vector>

namespace zarvex::test {

// One HTTP exchange with a real client (libcurl).
struct HttpReply {
    long status = 0;
    std::string body;
    std::string headers;  // the response's header lines as received
    CURLcode code = CURLE_OK;

    // The value of a response header ("" without it); names compared without case.
    std::string Header(const std::string& name) const;
};

struct HttpCall {
    std::string url;
    std::string method = "GET";
    std::vector<std::string> headers;  // "Name: value"
    std::string body;
};

HttpReply Fetch(const HttpCall& call);

inline HttpReply Fetch(const std::string& url, std::vector<std::string> headers = {}) {
    HttpCall call;
    call.url = url;
    call.headers = std::move(headers);
    return Fetch(call);
}

// RSS of this process in kB.
long ResidentKb();

}  // namespace zarvex::test
