#include "acquisition/curl_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "acquisition/endpoints.h"
#include "common/log.h"

namespace zarvex::acquisition {

bool IsErrorPage(const FetchResult& result, std::string_view buffer) {
    if (result.not_found) {
        return true;
    }
    const std::size_t count =
        result.count > 0 ? std::min(buffer.size(), static_cast<std::size_t>(result.count)) : 0;
    return buffer.substr(0, count).find(kErrorPageMarker) != std::string_view::npos;
}

namespace {

constexpr const char* kTextAgent = "Mozilla/5.0";
constexpr const char* kFileAgent = "Mozilla/5.0 (compatible; ST)";

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using SlistHandle = std::unique_ptr<curl_slist, SlistDeleter>;

// The proxy comes from the environment as usual, but the loopback never goes through one:
// a local stand-in server must be reached directly whatever the proxy settings say.
std::string NoProxyList() {
    std::string list;
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            list = value;
            break;
        }
    }
    if (list == "*") {
        return list;
    }
    if (!list.empty()) {
        list += ',';
    }
    return list + "localhost,127.0.0.1,::1";
}

// Collects the body up to a capacity. Returning less than given ends the transfer, which is
// how a body longer than the capacity is cut.
struct Sink {
    std::string* out = nullptr;
    std::size_t size = 0;
    std::size_t capacity = 0;
    bool cut = false;
    CURL* curl = nullptr;  // to read the announced length once the body starts
};

// Room for the whole body at once when the head announced its length (and the zero byte the
// buffer gets after it), so that a large report is not copied over and over as it grows.
void ReserveAnnounced(Sink& sink) {
    curl_off_t length = -1;
    if (sink.curl == nullptr ||
        curl_easy_getinfo(sink.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length <= 0) {
        return;
    }
    sink.out->reserve(std::min(static_cast<std::size_t>(length), sink.capacity) + 1);
}

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = sink->capacity - sink->size;
    const std::size_t take = std::min(bytes, room);
    try {
        if (sink->size == 0) {
            ReserveAnnounced(*sink);
        }
        sink->out->append(data, take);
    } catch (const std::exception&) {
        return 0;  // no memory for the body: the transfer fails (exceptions stay out of libcurl)
    }
    sink->size += take;
    if (take < bytes) {
        sink->cut = true;
    }
    return take;
}

// libcurl calls this while the transfer runs, idle or not (about once a second when nothing
// arrives); a non-zero answer aborts it.
int AbortWhenStopped(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return StopRequested(static_cast<const StopFlag*>(user)) ? 1 : 0;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the lower-case word occurs in the text, letter case aside; npos when it does not.
std::size_t FindNoCase(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < word.size() && LowerAscii(text[at + i]) == word[i]) {
            ++i;
        }
        if (i == word.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Whether the answer's head announced chunks. A new status line (after a "100 Continue")
// starts the head over.
std::size_t ReadHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* chunked = static_cast<bool*>(user);
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    if (FindNoCase(line, "http/") == 0) {
        *chunked = false;
    } else if (FindNoCase(line, "transfer-encoding:") == 0 &&
               FindNoCase(line, "chunked") != std::string_view::npos) {
        *chunked = true;
    }
    return bytes;
}

struct Transfer {
    CURLcode code = CURLE_FAILED_INIT;
    long status = 0;
    bool length_proven = false;
    std::string error;  // libcurl's own words for a failure, when it has them
};

// The time a transfer may take: its own limit, or less when the deadline comes first. 0 when
// the deadline has passed.
long TransferLimitMs(const NetworkTimeouts& timeouts, Deadline deadline) {
    const long own = static_cast<long>(timeouts.total.count());
    if (deadline == kNoDeadline) {
        return own;
    }
    // Rounded up, so that a transfer ended by it ends at or after the deadline, never before.
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left <= 0 ? 0 : static_cast<long>(std::min<std::int64_t>(own, left));
}

// What every transfer of one transport shares.
struct TransferSetup {
    const NetworkTimeouts& timeouts;
    const StopFlag* stop;
    const std::string& ca_file;
};

Transfer Perform(std::string_view url, const char* agent, bool fresh, const TransferSetup& setup,
                 Deadline deadline, Sink& sink) {
    const NetworkTimeouts& timeouts = setup.timeouts;
    const StopFlag* stop = setup.stop;
    InitCurlOnce();
    Transfer transfer;
    if (StopRequested(stop)) {
        transfer.code = CURLE_ABORTED_BY_CALLBACK;
        return transfer;
    }
    const long limit_ms = TransferLimitMs(timeouts, deadline);
    if (limit_ms == 0) {
        transfer.code = CURLE_OPERATION_TIMEDOUT;
        transfer.error = "no time left";
        return transfer;
    }
    CurlHandle handle(curl_easy_init());
    if (!handle) {
        return transfer;
    }
    CURL* curl = handle.get();
    const std::string url_text(url);
    const std::string no_proxy = NoProxyList();
    SlistHandle headers;
    if (fresh) {
        curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
        list = list != nullptr ? curl_slist_append(list, "Pragma: no-cache") : nullptr;
        headers.reset(list);
    }
    char error[CURL_ERROR_SIZE] = {};
    bool chunked = false;
    curl_easy_setopt(curl, CURLOPT_URL, url_text.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!setup.ca_file.empty()) {
        // The bundle named for a private server stands instead of the system's store.
        curl_easy_setopt(curl, CURLOPT_CAINFO, setup.ca_file.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, no_proxy.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     std::min(limit_ms, static_cast<long>(timeouts.connect.count())));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limit_ms);
    // libcurl measures slow stretches in whole seconds.
    const long slow_seconds =
        std::max(1L, static_cast<long>((timeouts.stall.count() + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, timeouts.low_speed));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, slow_seconds);
    if (headers) {
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    }
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &chunked);
    sink.curl = curl;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (stop != nullptr) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenStopped);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<StopFlag*>(stop));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    transfer.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &transfer.status);
    // With a Content-Length libcurl fails a body that stops short of it, and with chunks one
    // that lacks its closing chunk; so a transfer that ended well with either is whole.
    curl_off_t length = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    transfer.length_proven = transfer.code == CURLE_OK && (length >= 0 || chunked);
    transfer.error = error[0] != '\0' ? std::string(error) : curl_easy_strerror(transfer.code);
    sink.curl = nullptr;
    return transfer;
}

std::string FailureText(const Transfer& transfer) {
    return transfer.code == CURLE_ABORTED_BY_CALLBACK ? "stopped" : transfer.error;
}

bool IsSuccessStatus(long status) {
    return status >= 200 && status < 300;
}
bool IsNotFoundStatus(long status) {
    return status == 404 || status == 410;
}

}  // namespace

CurlTransport::CurlTransport(NetworkTimeouts timeouts, const StopFlag* stop, std::string ca_file)
    : timeouts_(timeouts), stop_(stop), ca_file_(std::move(ca_file)) {}

std::string CurlTransport::DoFetchText(std::string_view url, Deadline deadline,
                                       std::string* failure) {
    // A listing page is small; the cap only keeps a runaway answer from eating memory.
    constexpr std::size_t kTextCapacity = 16 * 1024 * 1024;
    std::string text;
    Sink sink;
    sink.out = &text;
    sink.capacity = kTextCapacity;
    const Transfer transfer =
        Perform(url, kTextAgent, true, {timeouts_, stop_, ca_file_}, deadline, sink);
    const bool complete =
        transfer.code == CURLE_OK || (sink.cut && transfer.code == CURLE_WRITE_ERROR);
    if (!complete || !IsSuccessStatus(transfer.status)) {
        common::Log("FetchText failed: ", WithoutCredentials(url), " (", FailureText(transfer),
                    ", status ", transfer.status, ")");
        if (failure != nullptr) {
            *failure =
                complete ? "status " + std::to_string(transfer.status) : FailureText(transfer);
        }
        return {};
    }
    return text;
}

FetchResult CurlTransport::DoFetchToBuffer(std::string_view url, std::string& buffer,
                                           std::size_t capacity, Deadline deadline) {
    buffer.clear();
    Sink sink;
    sink.out = &buffer;
    sink.capacity = capacity;
    const Transfer transfer =
        Perform(url, kFileAgent, false, {timeouts_, stop_, ca_file_}, deadline, sink);
    FetchResult result;
    const bool complete =
        transfer.code == CURLE_OK || (sink.cut && transfer.code == CURLE_WRITE_ERROR);
    if (!complete) {
        common::Log("FetchToBuffer failed: ", WithoutCredentials(url), " (", FailureText(transfer),
                    ")");
        result.failure = FailureText(transfer);
        buffer.assign(1, '\0');  // nothing half-received is left to be mistaken for data
        return result;
    }
    if (IsNotFoundStatus(transfer.status)) {
        result.not_found = true;
    } else if (!IsSuccessStatus(transfer.status)) {
        common::Log("FetchToBuffer: status ", transfer.status, " for ", WithoutCredentials(url));
        result.failure = "status " + std::to_string(transfer.status);
        buffer.assign(1, '\0');
        return result;
    }
    result.count = static_cast<std::int64_t>(sink.size);
    result.cut = sink.cut;
    result.length_proven = transfer.length_proven && !sink.cut;
    buffer.push_back('\0');
    if (sink.cut) {
        common::Log("FetchToBuffer: the body of ", WithoutCredentials(url), " is longer than ",
                    capacity, " bytes and was cut there");
    }
    return result;
}

}  // namespace zarvex::acquisition
