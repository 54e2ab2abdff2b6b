#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvex::acquisition {

// The moment by which a transfer must have ended, whatever the transport's own limits would
// still allow: a day's download is bounded as a whole.
using Deadline = std::chrono::steady_clock::time_point;
inline constexpr Deadline kNoDeadline = Deadline::max();

// What one fetch into a buffer gave.
struct FetchResult {
    // Bytes placed in the buffer; -1 when the fetch failed (no connection, time-out, a body
    // cut short by the server, or an answer that is neither a file nor a "not found").
    std::int64_t count = -1;
    // The server answered "not found" (404 or 410): the body, if any, is its error page.
    bool not_found = false;
    // The body was longer than the capacity and was cut there.
    bool cut = false;
    // The answer said how long its body is (Content-Length, or chunks with their closing
    // chunk) and the body came to that end. Without it only the closing of the connection
    // ended the body, and a connection lost half-way looks the same.
    bool length_proven = false;
    // Why the fetch failed (count -1), in a few words for the messages.
    std::string failure;
};

// The report server's HTTP side, injected so that tests and benchmarks can stand in for it.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;

    // A listing page or other text, always fresh from the server (never from a cache). The
    // empty text when nothing could be read or the server answered with an error status; then
    // failure, when given, says why in a few words.
    std::string FetchText(std::string_view url, Deadline deadline = kNoDeadline,
                          std::string* failure = nullptr) {
        return DoFetchText(url, deadline, failure);
    }

    // Reads the body until its end or until capacity bytes. The buffer then holds the received
    // bytes followed by one zero byte (count + 1 bytes), so they always read as zero-terminated
    // text; it grows with the body, so a generous capacity costs nothing for a small one.
    FetchResult FetchToBuffer(std::string_view url, std::string& buffer, std::size_t capacity,
                              Deadline deadline = kNoDeadline) {
        return DoFetchToBuffer(url, buffer, capacity, deadline);
    }

private:
    virtual std::string DoFetchText(std::string_view url, Deadline deadline,
                                    std::string* failure) = 0;
    virtual FetchResult DoFetchToBuffer(std::string_view url, std::string& buffer,
                                        std::size_t capacity, Deadline deadline) = 0;
};

// Whether a fetched body is the server's error page rather than a data file.
bool IsErrorPage(const FetchResult& result, std::string_view buffer);

}  // namespace zarvex::acquisition
