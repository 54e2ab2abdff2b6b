#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/date.h"

namespace zarvex::tools {

// Faults the stand-in server can be told to make. A fault with a match applies to every
// request whose path contains the match ("/" matches every path); nullopt switches it off.
struct ServerFaults {
    // Wait this long before answering.
    std::chrono::milliseconds delay{0};
    std::optional<std::string> delay_on;
    // Send the head and half the body, then drop the connection.
    std::optional<std::string> drop_body_on;
    // Read the request and then say nothing until the client gives up.
    std::optional<std::string> silent_on;
    // Answer "200 OK" with an empty body, also for files that do not exist.
    std::optional<std::string> empty_on;
    // Send the head without Content-Length and only the first bytes of the body, then close:
    // to the client the body looks complete. The counts are used in turn, one per matching
    // request; a count beyond the body sends all of it, still without a length.
    std::optional<std::string> cut_short_on;
    std::vector<std::size_t> cut_short_bytes{64};
    // Send the body in chunks (no Content-Length). With cut_short_on the closing chunk is left
    // out, as when the connection is lost half-way.
    std::optional<std::string> chunked_on;
    // Send the body at this many bytes a second, the head at once.
    std::optional<std::string> drip_on;
    std::size_t drip_bytes_per_second = 2;
    // Put this many bytes of another product's rows before the body: a report grown too big.
    std::optional<std::string> oversize_on;
    std::size_t oversize_bytes = 4'500'000;
    // Answer with this status and a plain body (not the error page).
    int error_status = 500;
    std::optional<std::string> error_on;
    // Days ("%yyyy%mm%dd") not published yet: absent from the listings, "not found" when asked.
    std::set<std::string> held_back;
};

// How the "Date:" header is written, for trying the network clock on odd servers.
enum class DateHeaderStyle {
    kStandard,       // "Date: Mon, 03 Dec 2012 17:30:00 GMT" + CR LF
    kBareLineFeeds,  // every head line ends in a bare line feed
    kLowerCaseName,  // "date: ..."
    kNone,           // no Date line at all
};

// A stand-in for the report server on plain sockets. It serves a folder tree as
//   /toster/  the files of ROOT/toster (listing page and files),
//   /fp/      the files of ROOT/fp,
//   /1/2.php  "EST: yyyymmdd hh:mm:ss", the exchange time of its clock,
//   /simple/  a short text, answered with a "Date:" header like every other request,
// and a classic "404 Not Found" page (beginning with <!DOCTYPE HTML PUBLIC) for anything
// else. The folders are read on every request, so files may be added while it runs.
// Each connection gets its own thread and one answer, then the connection is closed.
class ReportServer final {
public:
    explicit ReportServer(std::filesystem::path root);
    ~ReportServer();
    ReportServer(const ReportServer&) = delete;
    ReportServer& operator=(const ReportServer&) = delete;

    // Binds (port 0: a free port chosen by the system) and starts serving. False when the
    // address cannot be bound.
    bool Start(const std::string& bind_address = "127.0.0.1", int port = 0);
    // Stops accepting, cuts every connection still open (silent ones included) and waits for
    // their threads.
    void Stop();

    int Port() const;
    // "127.0.0.1:PORT", the form the program takes as its report host.
    std::string HostText() const;

    // The server's Greenwich time. The default is the computer's clock in UTC.
    void SetClock(std::function<common::Date()> greenwich_now);
    void SetFixedTime(common::Date greenwich);
    // Added to whatever the clock says.
    void SetTimeShift(common::Date seconds);
    common::Date GreenwichNow() const;

    void SetFaults(ServerFaults faults);
    ServerFaults Faults() const;
    void SetDateHeaderStyle(DateHeaderStyle style);

    // Paths asked for so far, oldest first.
    std::vector<std::string> Requests() const;
    void ClearRequests();

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace zarvex::tools
