#include "reportserver/report_server.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "acquisition/time_texts.h"
#include "common/text.h"

namespace zarvex::tools {

namespace {

constexpr std::size_t kMaxRequestBytes = 16 * 1024;
constexpr int kRequestWaitMs = 5000;

struct Answer {
    int status = 200;
    std::string content_type = "text/html";
    std::string body;
};

class Fd final {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

std::string StatusText(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        default:
            return "Error";
    }
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

Answer NotFound(std::string_view path) {
    Answer answer;
    answer.status = 404;
    answer.body =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n"
        "<html><head>\n<title>404 Not Found</title>\n</head><body>\n<h1>Not Found</h1>\n"
        "<p>The requested URL " +
        HtmlEscape(path) + " was not found on this server.</p>\n</body></html>\n";
    return answer;
}

bool IsHeldBack(std::string_view name, const std::set<std::string>& held_back) {
    return std::any_of(held_back.begin(), held_back.end(),
                       [&](const std::string& key) { return common::Contains(name, key); });
}

bool Matches(const std::optional<std::string>& match, std::string_view path) {
    return match.has_value() && common::Contains(path, *match);
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

Answer Listing(const std::filesystem::path& folder, std::string_view url_path,
               const std::set<std::string>& held_back) {
    Answer answer;
    answer.body = "<html><head><title>Index of " + HtmlEscape(url_path) +
                  "</title></head><body>\n<h1>Index of " + HtmlEscape(url_path) + "</h1>\n<ul>\n";
    for (const std::string& name : FolderNames(folder)) {
        if (!IsHeldBack(name, held_back)) {
            answer.body +=
                "<li><a href=\"" + HtmlEscape(name) + "\">" + HtmlEscape(name) + "</a></li>\n";
        }
    }
    answer.body += "</ul>\n</body></html>\n";
    return answer;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Answer ServeFolder(const std::filesystem::path& folder, std::string_view prefix,
                   std::string_view path, const std::set<std::string>& held_back) {
    const std::string_view name = path.substr(prefix.size());
    if (name.empty()) {
        return Listing(folder, prefix, held_back);
    }
    // Only plain names inside the folder are served.
    if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos ||
        name == "." || name == ".." || IsHeldBack(name, held_back)) {
        return NotFound(path);
    }
    const std::filesystem::path file = folder / std::string(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return NotFound(path);
    }
    auto bytes = ReadWholeFile(file);
    if (!bytes) {
        return NotFound(path);
    }
    Answer answer;
    answer.content_type = "text/plain";
    answer.body = std::move(*bytes);
    return answer;
}

// Rows of a product other than the six currencies, at least `bytes` long in whole lines.
std::string OtherProductRows(std::size_t bytes) {
    const std::string_view line =
        "LO   CRUDE OIL OPTIONS      1234.50   12.34     0.512     100       2500      30 +\r\n";
    std::string rows;
    rows.reserve(bytes + line.size());
    while (rows.size() < bytes) {
        rows += line;
    }
    return rows;
}

// The body as chunks of at most 16 KB, with the closing chunk when `close`.
std::string Chunked(std::string_view body, bool close) {
    constexpr std::size_t kChunk = 16 * 1024;
    std::string wire;
    for (std::size_t at = 0; at < body.size(); at += kChunk) {
        const std::string_view chunk = body.substr(at, kChunk);
        char size[24];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        wire += size;
        wire += chunk;
        wire += "\r\n";
    }
    if (close) {
        wire += "0\r\n\r\n";
    }
    return wire;
}

// How the end of a body is told.
enum class Framing { kLength, kClose, kChunks };

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace

struct ReportServer::State {
    std::filesystem::path root;

    mutable std::mutex mutex;
    std::function<common::Date()> clock;
    std::optional<common::Date> fixed_time;
    common::Date shift = 0;
    ServerFaults faults;
    DateHeaderStyle date_style = DateHeaderStyle::kStandard;
    std::vector<std::string> requests;
    std::size_t cut_short_served = 0;  // requests answered cut short since the faults were set

    Fd listener;
    int port = 0;
    int stop_read = -1;  // becomes readable (hung up) when the server stops
    int stop_write = -1;
    std::thread acceptor;
    std::condition_variable idle;
    int connections = 0;
    bool running = false;

    common::Date Now() const {
        std::lock_guard guard(mutex);
        common::Date now = 0;
        if (fixed_time) {
            now = *fixed_time;
        } else if (clock) {
            now = clock();
        } else {
            now = static_cast<common::Date>(std::time(nullptr));
        }
        return now + shift;
    }

    // Waits for the fd to become readable, the stop signal, or the time-out. True when the fd
    // is readable.
    bool WaitReadable(int fd, int timeout_ms) const {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop_read, POLLIN, 0}};
        while (true) {
            const int ready = poll(fds, 2, timeout_ms);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0 || fds[1].revents != 0) {
                return false;
            }
            return fds[0].revents != 0;
        }
    }

    bool Stopping(int timeout_ms) const {
        pollfd fds[1] = {{stop_read, POLLIN, 0}};
        return poll(fds, 1, timeout_ms) > 0;
    }

    // Sends the bytes at about `rate` a second, in small steps. False when the client left or
    // the server stops.
    bool Drip(int fd, std::string_view bytes, std::size_t rate) const {
        const auto start = std::chrono::steady_clock::now();
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (Stopping(50)) {
                return false;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const auto due = std::min(bytes.size(), static_cast<std::size_t>(seconds * rate));
            if (due > sent && !SendAll(fd, bytes.substr(sent, due - sent))) {
                return false;
            }
            sent = std::max(sent, due);
        }
        return true;
    }

    std::string ReadRequest(int fd) const {
        std::string request;
        char chunk[2048];
        while (request.size() < kMaxRequestBytes) {
            if (common::Contains(request, "\r\n\r\n") || common::Contains(request, "\n\n")) {
                break;
            }
            if (!WaitReadable(fd, kRequestWaitMs)) {
                break;
            }
            const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0) {
                break;
            }
            request.append(chunk, static_cast<std::size_t>(got));
        }
        return request;
    }

    Answer Route(std::string_view path, const std::set<std::string>& held_back) const {
        if (common::StartsWith(path, "/toster/")) {
            return ServeFolder(root / "toster", "/toster/", path, held_back);
        }
        if (common::StartsWith(path, "/fp/")) {
            return ServeFolder(root / "fp", "/fp/", path, held_back);
        }
        if (path == "/1/2.php") {
            Answer answer;
            const common::Date exchange = acquisition::ToExchangeTime(Now());
            answer.body =
                "<html><body>EST: " + common::FormatDate(exchange, "%yyyy%mm%dd %hh:%ii:%ss") +
                "</body></html>\n";
            return answer;
        }
        if (path == "/simple/" || path == "/simple") {
            Answer answer;
            answer.content_type = "text/plain";
            answer.body = "simple\n";
            return answer;
        }
        return NotFound(path);
    }

    // Without a length or chunks only the closing of the connection ends the body.
    std::string Head(const Answer& answer, DateHeaderStyle style, Framing framing) const {
        const std::string end = style == DateHeaderStyle::kBareLineFeeds ? "\n" : "\r\n";
        std::string head =
            "HTTP/1.1 " + std::to_string(answer.status) + " " + StatusText(answer.status) + end;
        const std::string date = acquisition::HttpDateText(Now());
        if (style == DateHeaderStyle::kLowerCaseName) {
            head += "date: " + date + end;
        } else if (style != DateHeaderStyle::kNone) {
            head += "Date: " + date + end;
        }
        head += "Server: zarvex-reportserver" + end;
        head += "Content-Type: " + answer.content_type + end;
        if (framing == Framing::kLength) {
            head += "Content-Length: " + std::to_string(answer.body.size()) + end;
        } else if (framing == Framing::kChunks) {
            head += "Transfer-Encoding: chunked" + end;
        }
        head += "Connection: close" + end + end;
        return head;
    }

    void Serve(int raw_fd) {
        Fd fd(raw_fd);
        const std::string request = ReadRequest(fd.Get());
        const std::string_view first_line =
            std::string_view(request).substr(0, request.find_first_of("\r\n"));
        const auto words = common::Split(first_line, ' ');
        Answer answer;
        std::string path;
        bool head_only = false;
        if (words.size() < 2 || (words[0] != "GET" && words[0] != "HEAD")) {
            answer.status = 400;
            answer.body = "bad request\n";
        } else {
            path = std::string(words[1]);
            head_only = words[0] == "HEAD";
        }
        ServerFaults active;
        DateHeaderStyle style;
        {
            std::lock_guard guard(mutex);
            requests.push_back(path);
            active = faults;
            style = date_style;
        }
        if (Matches(active.silent_on, path)) {
            // Hold the connection open without a word until the client leaves or we stop.
            char sink[512];
            while (WaitReadable(fd.Get(), 60'000) && recv(fd.Get(), sink, sizeof sink, 0) > 0) {
            }
            return;
        }
        if (Matches(active.delay_on, path) && active.delay.count() > 0 &&
            Stopping(static_cast<int>(active.delay.count()))) {
            return;
        }
        if (!path.empty()) {
            answer = Route(path, active.held_back);
        }
        if (Matches(active.error_on, path)) {
            answer.status = active.error_status;
            answer.content_type = "text/plain";
            answer.body = "The server could not answer: " + StatusText(active.error_status) + "\n";
        }
        if (Matches(active.empty_on, path)) {
            answer.status = 200;
            answer.body.clear();
        }
        if (Matches(active.oversize_on, path) && answer.status == 200) {
            answer.body = OtherProductRows(active.oversize_bytes) + answer.body;
        }
        const bool cut_short = Matches(active.cut_short_on, path);
        if (cut_short) {
            std::size_t keep = 0;
            {
                std::lock_guard guard(mutex);
                const auto& counts = active.cut_short_bytes;
                keep = counts.empty() ? 0 : counts[cut_short_served++ % counts.size()];
            }
            answer.body.resize(std::min(answer.body.size(), keep));
        }
        const bool chunked = Matches(active.chunked_on, path);
        const Framing framing =
            chunked ? Framing::kChunks : (cut_short ? Framing::kClose : Framing::kLength);
        const std::string head = Head(answer, style, framing);
        const std::string wire = chunked ? Chunked(answer.body, !cut_short) : answer.body;
        if (head_only) {
            SendAll(fd.Get(), head);
        } else if (Matches(active.drop_body_on, path)) {
            SendAll(fd.Get(), head);
            SendAll(fd.Get(), std::string_view(wire).substr(0, wire.size() / 2));
            return;  // closed with the body half sent
        } else if (Matches(active.drip_on, path)) {
            if (!SendAll(fd.Get(), head) || !Drip(fd.Get(), wire, active.drip_bytes_per_second)) {
                return;
            }
        } else {
            SendAll(fd.Get(), head + wire);
        }
        shutdown(fd.Get(), SHUT_WR);
        // Let the client read to the end before the socket goes.
        char sink[512];
        while (WaitReadable(fd.Get(), 2000) && recv(fd.Get(), sink, sizeof sink, 0) > 0) {
        }
    }

    void AcceptLoop(const std::shared_ptr<State>& self) {
        while (true) {
            if (!WaitReadable(listener.Get(), -1)) {
                return;
            }
            const int client = accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN) {
                    continue;
                }
                return;
            }
            {
                std::lock_guard guard(mutex);
                ++connections;
            }
            std::thread([self, client] {
                self->Serve(client);
                std::lock_guard guard(self->mutex);
                --self->connections;
                self->idle.notify_all();
            }).detach();
        }
    }
};

ReportServer::ReportServer(std::filesystem::path root) : state_(std::make_shared<State>()) {
    state_->root = std::move(root);
}

ReportServer::~ReportServer() {
    Stop();
}

bool ReportServer::Start(const std::string& bind_address, int port) {
    if (state_->running) {
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port_text = std::to_string(port);
    if (getaddrinfo(bind_address.c_str(), port_text.c_str(), &hints, &found) != 0) {
        return false;
    }
    Fd listener(socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol));
    const int yes = 1;
    const bool bound =
        listener.Get() >= 0 &&
        setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
        bind(listener.Get(), found->ai_addr, found->ai_addrlen) == 0 &&
        listen(listener.Get(), 64) == 0;
    freeaddrinfo(found);
    if (!bound) {
        return false;
    }
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    state_->port = address.ss_family == AF_INET6
                       ? ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port)
                       : ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
        return false;
    }
    state_->stop_read = pipe_fds[0];
    state_->stop_write = pipe_fds[1];
    state_->listener.Reset(listener.Release());
    state_->running = true;
    state_->acceptor = std::thread([self = state_] { self->AcceptLoop(self); });
    return true;
}

void ReportServer::Stop() {
    if (!state_->running) {
        return;
    }
    // Hanging up the pipe wakes every wait of every thread at once.
    close(state_->stop_write);
    state_->stop_write = -1;
    state_->acceptor.join();
    {
        std::unique_lock lock(state_->mutex);
        state_->idle.wait(lock, [this] { return state_->connections == 0; });
    }
    state_->listener.Reset();
    close(state_->stop_read);
    state_->stop_read = -1;
    state_->running = false;
}

int ReportServer::Port() const {
    return state_->port;
}

std::string ReportServer::HostText() const {
    return "127.0.0.1:" + std::to_string(state_->port);
}

void ReportServer::SetClock(std::function<common::Date()> greenwich_now) {
    std::lock_guard guard(state_->mutex);
    state_->clock = std::move(greenwich_now);
    state_->fixed_time.reset();
}

void ReportServer::SetFixedTime(common::Date greenwich) {
    std::lock_guard guard(state_->mutex);
    state_->fixed_time = greenwich;
}

void ReportServer::SetTimeShift(common::Date seconds) {
    std::lock_guard guard(state_->mutex);
    state_->shift = seconds;
}

common::Date ReportServer::GreenwichNow() const {
    return state_->Now();
}

void ReportServer::SetFaults(ServerFaults faults) {
    std::lock_guard guard(state_->mutex);
    state_->faults = std::move(faults);
    state_->cut_short_served = 0;
}

ServerFaults ReportServer::Faults() const {
    std::lock_guard guard(state_->mutex);
    return state_->faults;
}

void ReportServer::SetDateHeaderStyle(DateHeaderStyle style) {
    std::lock_guard guard(state_->mutex);
    state_->date_style = style;
}

std::vector<std::string> ReportServer::Requests() const {
    std::lock_guard guard(state_->mutex);
    return state_->requests;
}

void ReportServer::ClearRequests() {
    std::lock_guard guard(state_->mutex);
    state_->requests.clear();
}

}  // namespace zarvex::tools
