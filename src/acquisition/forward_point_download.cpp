#include "acquisition/downloader.h"
#include "acquisition/endpoints.h"
#include "acquisition/file_writer.h"
#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"

namespace zarvex::acquisition {

namespace {

// What a forward-point file holds on disk: the received bytes and one zero byte.
std::string StoredForm(const std::string& buffer, std::int64_t count) {
    std::string bytes(buffer.data(), static_cast<std::size_t>(count));
    bytes.push_back('\0');
    return bytes;
}

// What an answer that was fetched is: a forward-point file, or the sign of a missing one.
enum class Answer { kFile, kMissing };

Answer Classify(const FetchResult& result, const std::string& buffer) {
    if (result.not_found || result.count == 0 || IsErrorPage(result, buffer)) {
        return Answer::kMissing;
    }
    const std::string_view body(buffer.data(), static_cast<std::size_t>(result.count));
    return HoldsForwardPoint(body) ? Answer::kFile : Answer::kMissing;
}

bool StartsNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const auto digit = [&](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    return digit(i) || (i < text.size() && text[i] == '.' && digit(i + 1));
}

}  // namespace

bool HoldsForwardPoint(std::string_view body) {
    // The reader reads the number from the fifth character of a line on.
    constexpr std::size_t kValueColumn = 4;
    body = body.substr(0, body.find('\0'));
    while (!body.empty()) {
        const std::size_t end = std::min(body.find_first_of("\r\n"), body.size());
        const std::string_view line = body.substr(0, end);
        if (line.size() > kValueColumn && StartsNumber(line.substr(kValueColumn))) {
            return true;
        }
        body.remove_prefix(std::min(end + 1, body.size()));
    }
    return false;
}

int Downloader::DownloadForwardPoints(common::Date day) {
    std::lock_guard run(run_mutex_);
    return DownloadForwardPointsLocked(day);
}

int Downloader::DownloadForwardPointsLocked(common::Date day) {
    common::Log("DownloadForwardPoints ", common::DayText(day));
    common::Date next = day + common::kSecondsPerDay;
    while (!common::IsTradingDay(next)) {
        next += common::kSecondsPerDay;
    }
    common::Log("next trading day ", common::DayText(next));
    const common::Date candidates[] = {next, day, day - common::kSecondsPerDay,
                                       day - 2 * common::kSecondsPerDay};
    SetTarget(setup_.folder.ForwardPointFile(next));
    for (const common::Date candidate : candidates) {
        if (Stopping()) {
            return Fail("stopped");
        }
        std::string buffer;
        const std::string remote = ForwardPointRemoteName(candidate);
        const std::string url =
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote);
        const FetchResult result =
            setup_.transport->FetchToBuffer(url, buffer, kForwardPointCapacity);
        if (result.count < 0 && !result.not_found) {
            // A network failure ends the run; the candidates left are not tried.
            return Fail("cannot fetch " + url + " (" + result.failure + ")");
        }
        // An error page, an empty answer or one without a number: as if the file were not
        // there, so the next candidate is tried.
        if (Classify(result, buffer) == Answer::kMissing) {
            common::Log("no forward points in ", remote, " for ", common::DayText(day));
            continue;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(candidate);
        SetTarget(local);
        if (!WriteFileAtomically(local, StoredForm(buffer, result.count))) {
            return Fail("cannot write " + local.string());
        }
        common::Log("stored ", local.string());
        return 1;
    }
    return Fail("no forward points for " + common::DayText(day) + " on " + setup_.report_host);
}

int Downloader::DownloadForwardPointRange(common::Date t, bool pump) {
    std::lock_guard run(run_mutex_);
    common::Log("DownloadForwardPointRange");
    if (t <= 0) {
        return Fail("no time to fetch the forward points around");
    }
    const std::string folder_url = ServerUrl(setup_.report_host, kForwardPointFolderPath);
    const std::string listing = setup_.transport->FetchText(folder_url);
    if (listing.empty()) {
        return Fail("no forward-point listing from " + folder_url);
    }
    const common::Date first = t - 30 * common::kSecondsPerDay;
    const common::Date last = t + 3 * common::kSecondsPerDay;
    for (common::Date day = first; day <= last; day += common::kSecondsPerDay) {
        if (Stopping()) {
            return Fail("stopped");
        }
        if (pump) {
            setup_.host.PumpEvents();
        }
        const std::string remote = ForwardPointRemoteName(day);
        common::Log("forward points ", remote);
        if (!common::Contains(listing, remote)) {
            continue;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(day);
        SetTarget(local);
        std::string buffer;
        const FetchResult result = setup_.transport->FetchToBuffer(
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote), buffer,
            kForwardPointCapacity);
        if (result.count < 0 && !result.not_found) {
            common::Log("forward points fetch failed: ", remote);
            return Fail("cannot fetch " + remote + " (" + result.failure + ")");
        }
        if (Classify(result, buffer) == Answer::kMissing) {
            // Listed, yet what came is no file: never store an error page or an empty answer
            // over a good copy, and go on with the next day.
            common::Log("no forward points in ", remote);
            continue;
        }
        const std::string bytes = StoredForm(buffer, result.count);
        if (!WriteFileAtomically(local, bytes)) {
            return Fail("cannot write " + local.string());
        }
        WriteFileAtomically(setup_.folder.Output() / local.filename(), bytes);
    }
    common::Log("DownloadForwardPointRange end");
    return 1;
}

}  // namespace zarvex::acquisition
