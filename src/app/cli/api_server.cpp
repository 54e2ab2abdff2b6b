#include "app/cli/api_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace zarvex::cli {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr unsigned kThreads = 4;
// Room for the largest request the answerer measures and refuses itself; beyond it the
// library answers 431 on its own.
constexpr std::size_t kConnectionMemory = 32 * 1024;

MHD_Result Collect(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* request = static_cast<ApiRequest*>(cls);
    if (key == nullptr) {
        return MHD_YES;
    }
    if (value == nullptr) {
        request->query_has_key_without_value = true;
    } else {
        request->query.emplace_back(key, value);
    }
    return MHD_YES;
}

MHD_Result CollectHeader(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* request = static_cast<ApiRequest*>(cls);
    if (key != nullptr) {
        request->headers.emplace_back(key, value == nullptr ? "" : value);
    }
    return MHD_YES;
}

std::string ClientAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) {
        return "?";
    }
    char text[INET6_ADDRSTRLEN] = "?";
    const sockaddr* address = info->client_addr;
    if (address->sa_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                    sizeof text);
    } else if (address->sa_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
                    sizeof text);
    }
    return text;
}

// A request that says a body follows (none of the API's does).
bool AnnouncesBody(MHD_Connection* connection) {
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                       MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr ||
           (length != nullptr && std::strspn(length, "0") != std::strlen(length));
}

MHD_Result Handle(void* cls, MHD_Connection* connection, const char* url, const char* method,
                  const char* version, const char*, size_t* upload_size, void** request_state) {
    auto* server = static_cast<ApiServer*>(cls);
    static int started_marker = 0;
    static int answered_marker = 0;
    if (*request_state == &answered_marker) {
        // A body nobody asked for: dropped, the refusal is queued already.
        *upload_size = 0;
        return MHD_YES;
    }
    if (*request_state == nullptr) {
        *request_state = &started_marker;
        server->RequestStarted(connection);
        // The library calls once more when the request is whole. An answer queued before that
        // is an early one, after which it closes the connection ("Connection: close"): every
        // request would pay for a new connect and accept, woken on all the pool's threads, and
        // run on whichever thread took it. A request with a body is refused at once instead,
        // so that its body is never read.
        if (!AnnouncesBody(connection)) {
            return MHD_YES;
        }
    }
    *request_state = &answered_marker;
    const ApiAnswer answer = server->AnswerConnection(connection, url, method, version);
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr) {
        return MHD_NO;
    }
    if (!answer.content_type.empty()) {
        MHD_add_response_header(response, "Content-Type", answer.content_type.c_str());
    }
    for (const auto& [name, value] : answer.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return queued;
}

void Notify(void* cls, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
    auto* server = static_cast<ApiServer*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        server->ConnectionStarted(connection);
    } else {
        server->ConnectionClosed(connection);
    }
}

void Completed(void* cls, MHD_Connection* connection, void**, MHD_RequestTerminationCode) {
    static_cast<ApiServer*>(cls)->RequestCompleted(connection);
}

}  // namespace

bool IsLoopbackAddress(const std::string& address) {
    return address == "127.0.0.1" || address == "::1";
}

ApiServer::ApiServer(ApiServerOptions options)
    : options_(std::move(options)), answerer_(options_.answerer) {}

ApiServer::~ApiServer() {
    Stop();
}

bool ApiServer::Start(std::string& error) {
    port_ = options_.port;
    const bool both_defaults = options_.addresses.size() == 2;
    for (const std::string& address : options_.addresses) {
        if (!IsLoopbackAddress(address)) {
            error = "not a loopback address: " + address;
            Stop();
            return false;
        }
        const bool v6 = address == "::1";
        sockaddr_in v4_address{};
        sockaddr_in6 v6_address{};
        const sockaddr* bind_to = nullptr;
        if (v6) {
            v6_address.sin6_family = AF_INET6;
            v6_address.sin6_port = htons(port_);
            v6_address.sin6_addr = in6addr_loopback;
            bind_to = reinterpret_cast<const sockaddr*>(&v6_address);
        } else {
            v4_address.sin_family = AF_INET;
            v4_address.sin_port = htons(port_);
            v4_address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            bind_to = reinterpret_cast<const sockaddr*>(&v4_address);
        }
        const unsigned timeout_seconds = static_cast<unsigned>(std::max<long long>(
            1, std::chrono::ceil<std::chrono::seconds>(options_.request_timeout).count()));
        errno = 0;
        MHD_Daemon* daemon = MHD_start_daemon(
            MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | (v6 ? MHD_USE_IPv6 : 0), port_,
            nullptr, nullptr, &Handle, this, MHD_OPTION_SOCK_ADDR, bind_to,
            MHD_OPTION_THREAD_POOL_SIZE, kThreads, MHD_OPTION_CONNECTION_TIMEOUT, timeout_seconds,
            MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory, MHD_OPTION_NOTIFY_CONNECTION,
            &Notify, this, MHD_OPTION_NOTIFY_COMPLETED, &Completed, this, MHD_OPTION_END);
        const int start_errno = errno;
        if (daemon == nullptr) {
            // A machine without IPv6 still serves the API on 127.0.0.1.
            if (v6 && both_defaults && !daemons_.empty()) {
                continue;
            }
            error = "cannot listen on " + address + " port " + std::to_string(port_) +
                    (start_errno != 0 ? std::string(": ") + std::strerror(start_errno) : "");
            Stop();
            return false;
        }
        daemons_.push_back(daemon);
        if (port_ == 0) {
            const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_LISTEN_FD);
            sockaddr_storage bound{};
            socklen_t length = sizeof bound;
            if (info != nullptr &&
                ::getsockname(info->listen_fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0) {
                port_ = ntohs(bound.ss_family == AF_INET6
                                  ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                  : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
            }
        }
        urls_.push_back("http://" + (v6 ? "[" + address + "]" : address) + ":" +
                        std::to_string(port_) + "/");
    }
    {
        const std::lock_guard lock(watch_mutex_);
        stopping_ = false;
    }
    watchdog_ = std::thread([this] { Watch(); });
    return true;
}

void ApiServer::Stop() {
    {
        const std::lock_guard lock(watch_mutex_);
        stopping_ = true;
    }
    watch_wake_.notify_all();
    if (watchdog_.joinable()) {
        watchdog_.join();
    }
    answerer_.Cancel();
    for (MHD_Daemon* daemon : daemons_) {
        MHD_stop_daemon(daemon);
    }
    daemons_.clear();
    urls_.clear();
}

ApiAnswer ApiServer::AnswerConnection(MHD_Connection* connection, const char* url,
                                      const char* method, const char* version) {
    ApiRequest request;
    request.method = method == nullptr ? "" : method;
    request.path = url == nullptr ? "" : url;
    request.version = version == nullptr ? "" : version;
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &Collect, &request);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &CollectHeader, &request);
    return answerer_.Answer(request, ClientAddress(connection));
}

void ApiServer::ConnectionStarted(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    const std::lock_guard lock(watch_mutex_);
    watched_[connection] = {info == nullptr ? -1 : info->connect_fd,
                            SteadyClock::now() + options_.request_timeout};
}

void ApiServer::ConnectionClosed(MHD_Connection* connection) {
    const std::lock_guard lock(watch_mutex_);
    watched_.erase(connection);
}

void ApiServer::RequestStarted(MHD_Connection* connection) {
    const std::lock_guard lock(watch_mutex_);
    const auto it = watched_.find(connection);
    if (it != watched_.end()) {
        it->second.deadline = SteadyClock::time_point::max();
    }
}

void ApiServer::RequestCompleted(MHD_Connection* connection) {
    const std::lock_guard lock(watch_mutex_);
    const auto it = watched_.find(connection);
    if (it != watched_.end()) {
        it->second.deadline = SteadyClock::now() + options_.request_timeout;
    }
}

// The library drops only connections that stay silent; this drops those whose request takes
// too long however little they send. Shutting the socket down (not closing it: the library
// owns it) makes the library see the end of the connection and close it in its own time, and
// the descriptor is still the connection's since it is closed only after ConnectionClosed.
void ApiServer::Watch() {
    std::unique_lock lock(watch_mutex_);
    while (!stopping_) {
        watch_wake_.wait_for(lock, std::chrono::milliseconds(100));
        const SteadyClock::time_point now = SteadyClock::now();
        for (auto& [connection, watched] : watched_) {
            if (watched.fd >= 0 && now >= watched.deadline) {
                ::shutdown(watched.fd, SHUT_RDWR);
                watched.deadline = SteadyClock::time_point::max();
            }
        }
    }
}

}  // namespace zarvex::cli
