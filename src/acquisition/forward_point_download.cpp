#include "acquisition/answer_checks.h"
#include "acquisition/downloader.h"
#include "acquisition/endpoints.h"
#include "acquisition/file_writer.h"
#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"

namespace zarvex::acquisition {

namespace {

// What a forward-point file holds on disk: the received bytes and one zero byte.
std::string StoredForm(std::string_view body) {
    std::string bytes(body);
    bytes.push_back('\0');
    return bytes;
}

}  // namespace

common::Outcome Downloader::DownloadForwardPoints(common::Date day) {
    std::lock_guard run(run_mutex_);
    return DownloadForwardPointsLocked(day, StartBound());
}

common::Outcome Downloader::DownloadForwardPointsLocked(common::Date day, Deadline deadline) {
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
        if (OutOfTime(deadline)) {
            return Fail(WithBound("no time left for the forward points", deadline));
        }
        const std::string remote = ForwardPointRemoteName(candidate);
        const std::string url =
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote);
        const Fetched fetched = FetchWhole(url, kForwardPointCapacity, BodyEnd::kAny, deadline);
        const FetchResult& result = fetched.result;
        if (result.count < 0) {
            // A network failure ends the run; the candidates left are not tried.
            return Fail(WithBound("cannot fetch " + url + " (" + result.failure + ")", deadline));
        }
        if (fetched.refused == BodyVerdict::kDiffers) {
            // Cut on the way: what the file holds is not known, so neither is the next candidate
            // to be taken in its place. The day is tried again later.
            return Fail(RefusalText(url, *fetched.refused, kForwardPointCapacity));
        }
        if (fetched.refused) {
            common::Log(RefusalText(url, *fetched.refused, kForwardPointCapacity));
        }
        if (fetched.refused || !IsForwardPointAnswer(result, fetched.buffer)) {
            common::Log("no forward points in ", remote, " for ", common::DayText(day));
            continue;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(candidate);
        SetTarget(local);
        if (!WriteFileAtomically(local, StoredForm(fetched.Body()))) {
            return Fail("cannot write " + local.string());
        }
        common::Log("stored ", local.string());
        return common::Outcome::Done();
    }
    return Fail("no forward points for " + common::DayText(day) + " on " + setup_.report_host);
}

common::Outcome Downloader::DownloadForwardPointRange(common::Date t, bool pump) {
    std::lock_guard run(run_mutex_);
    common::Log("DownloadForwardPointRange");
    if (t <= 0) {
        return Fail("no time to fetch the forward points around");
    }
    const Deadline deadline = StartBound();
    const std::string folder_url = ServerUrl(setup_.report_host, kForwardPointFolderPath);
    std::string failure;
    const std::string listing = setup_.transport->FetchText(folder_url, deadline, &failure);
    if (listing.empty()) {
        return Fail("no forward-point listing from " + folder_url + TlsReason(folder_url, failure));
    }
    const common::Date first = t - 30 * common::kSecondsPerDay;
    const common::Date last = t + 3 * common::kSecondsPerDay;
    for (common::Date day = first; day <= last; day += common::kSecondsPerDay) {
        if (Stopping()) {
            return Fail("stopped");
        }
        if (OutOfTime(deadline)) {
            return Fail("the forward-point range ran out of time; the days left are not fetched");
        }
        if (pump) {
            setup_.host.PumpEvents();
        }
        const std::string remote = ForwardPointRemoteName(day);
        common::Log("forward points ", remote);
        if (!ListingNames(listing, remote)) {
            continue;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(day);
        SetTarget(local);
        const std::string url =
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote);
        const Fetched fetched = FetchWhole(url, kForwardPointCapacity, BodyEnd::kAny, deadline);
        const FetchResult& result = fetched.result;
        if (result.count < 0 || fetched.refused == BodyVerdict::kDiffers) {
            common::Log("forward points fetch failed: ", remote);
            return Fail("cannot fetch " + remote + " (" + result.failure + ")");
        }
        if (fetched.refused) {
            common::Log(RefusalText(url, *fetched.refused, kForwardPointCapacity));
        }
        if (fetched.refused || !IsForwardPointAnswer(result, fetched.buffer)) {
            // Listed, yet what came is no file: never store an error page, an empty answer or a
            // damaged one over a good copy, and go on with the next day.
            common::Log("no forward points in ", remote);
            continue;
        }
        const std::string bytes = StoredForm(fetched.Body());
        if (!WriteFileAtomically(local, bytes)) {
            return Fail("cannot write " + local.string());
        }
        WriteFileAtomically(setup_.folder.Output() / local.filename(), bytes);
    }
    common::Log("DownloadForwardPointRange end");
    return common::Outcome::Done();
}

}  // namespace zarvex::acquisition
