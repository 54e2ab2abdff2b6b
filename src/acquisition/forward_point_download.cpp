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

}  // namespace

int Downloader::DownloadForwardPoints(common::Date day) {
    std::lock_guard run(run_mutex_);
    return DownloadForwardPointsLocked(day);
}

int Downloader::DownloadForwardPointsLocked(common::Date day) {
    shell::Log("DownloadForwardPoints ", common::DayText(day));
    common::Date next = day + common::kSecondsPerDay;
    while (!analytics::IsTradingDay(next)) {
        next += common::kSecondsPerDay;
    }
    shell::Log("next trading day ", common::DayText(next));
    const common::Date candidates[] = {next, day, day - common::kSecondsPerDay,
                                       day - 2 * common::kSecondsPerDay};
    SetTarget(setup_.folder.ForwardPointFile(next));
    for (const common::Date candidate : candidates) {
        std::string buffer;
        const std::string remote = ForwardPointRemoteName(candidate);
        const FetchResult result = setup_.transport->FetchToBuffer(
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote), buffer,
            kForwardPointCapacity);
        if (result.not_found || (result.count > 0 && IsErrorPage(result, buffer))) {
            shell::Log("no forward points in ", remote, " for ", common::DayText(day));
            continue;
        }
        if (result.count <= 0) {
            shell::Log("forward points fetch failed: ", remote);
            return 0;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(candidate);
        SetTarget(local);
        if (!WriteFileAtomically(local, StoredForm(buffer, result.count))) {
            shell::Log("cannot write ", local.string());
            return 0;
        }
        shell::Log("stored ", local.string());
        return 1;
    }
    shell::Log("no forward points for ", common::DayText(day));
    return 0;
}

void Downloader::DownloadForwardPointRange(common::Date t, bool pump) {
    std::lock_guard run(run_mutex_);
    shell::Log("DownloadForwardPointRange");
    if (t <= 0) {
        return;  // no time from the network: no day to fetch around
    }
    const std::string listing =
        setup_.transport->FetchText(ServerUrl(setup_.report_host, kForwardPointFolderPath));
    const common::Date first = t - 30 * common::kSecondsPerDay;
    const common::Date last = t + 3 * common::kSecondsPerDay;
    for (common::Date day = first; day <= last; day += common::kSecondsPerDay) {
        if (pump) {
            setup_.host.PumpEvents();
        }
        const std::string remote = ForwardPointRemoteName(day);
        shell::Log("forward points ", remote);
        if (!common::Contains(listing, remote)) {
            continue;
        }
        const std::filesystem::path local = setup_.folder.ForwardPointFile(day);
        SetTarget(local);
        std::string buffer;
        const FetchResult result = setup_.transport->FetchToBuffer(
            ServerUrl(setup_.report_host, std::string(kForwardPointFolderPath) + remote), buffer,
            kForwardPointCapacity);
        if (result.not_found || (result.count > 0 && IsErrorPage(result, buffer))) {
            // Listed, yet the server has no such file now: never store its error page.
            continue;
        }
        if (result.count <= 0) {
            shell::Log("forward points fetch failed: ", remote);
            return;
        }
        const std::string bytes = StoredForm(buffer, result.count);
        if (!WriteFileAtomically(local, bytes)) {
            shell::Log("cannot write ", local.string());
            return;
        }
        WriteFileAtomically(setup_.folder.Output() / local.filename(), bytes);
    }
    shell::Log("DownloadForwardPointRange end");
}

}  // namespace zarvex::acquisition
