#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvex::acquisition {

// What one fetch into a buffer gave.
struct FetchResult {
    // Bytes placed in the buffer; -1 when the fetch failed (no connection, time-out, a body
    // cut short by the server, or an answer that is neither a file nor a "not found").
    std::int64_t count = -1;
    // The server answered "not found" (404 or 410): the body, if any, is its error page.
    bool not_found = false;
    // The body was longer than the capacity and was cut there.
    bool cut = false;
    // Why the fetch failed (count -1), in a few words for the messages.
    std::string failure;
};

// The report server's HTTP side, injected so that tests and benchmarks can stand in for it.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;

    // A listing page or other text, always fresh from the server (never from a cache). The
    // empty text when nothing could be read or the server answered with an error status.
    virtual std::string FetchText(std::string_view url) = 0;

    // Reads the body until its end or until capacity bytes. The buffer is made capacity + 1
    // zero bytes long first, so the received bytes always read as zero-terminated text.
    virtual FetchResult FetchToBuffer(std::string_view url, std::string& buffer,
                                      std::size_t capacity) = 0;
};

// Whether a fetched body is the server's error page rather than a data file.
bool IsErrorPage(const FetchResult& result, std::string_view buffer);

}  // namespace zarvex::acquisition
