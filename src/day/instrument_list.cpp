#include "day/instrument_list.h"

#include <string>

#include "common/log.h"
#include "common/text_id.h"

namespace zarvex::shell {

namespace {

std::string CompletionText(const common::Host& host, int done) {
    return host.Text(done) + host.Text(text::kProgramReady);
}

}  // namespace

InstrumentList::InstrumentList(common::ProgramFolder folder, common::Host host) : host_(host) {
    Log("instrument list: creating");
    for (int i = 0; i < kCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        instruments_[index] =
            std::make_unique<Instrument>(kSymbols[index], kContainerNumbers[index], folder, host);
    }
}

int InstrumentList::RunPreviousDays(common::Date date) {
    stored_date_ = date;
    int result = 1;
    for (auto& instrument : instruments_) {
        if (instrument->ProcessPreviousDays(date) == 0) {
            result = 0;
        }
    }
    host_.ShowStatus(CompletionText(host_, text::kPreviousDaysProcessed));
    return result;
}

int InstrumentList::RunCurrentDay() {
    int result = 1;
    for (auto& instrument : instruments_) {
        if (instrument->ProcessDay(stored_date_) == 0) {
            result = 0;
        }
    }
    host_.ShowStatus(CompletionText(host_, text::kCurrentDayProcessed));
    return result;
}

int InstrumentList::RunCurrentDay(common::Date day) {
    stored_date_ = day;
    return RunCurrentDay();
}

std::optional<int> InstrumentList::OnDownloaded(common::DownloadedDays what,
                                                common::Date scheduler_day) {
    const bool has_day = scheduler_day > 0;
    switch (what) {
        case common::DownloadedDays::kPreviousDays:
            if (!has_day) {
                return std::nullopt;
            }
            return RunPreviousDays(common::DayStart(scheduler_day));
        case common::DownloadedDays::kCurrentDay:
            return has_day ? RunCurrentDay(common::DayStart(scheduler_day)) : RunCurrentDay();
    }
    return std::nullopt;
}

}  // namespace zarvex::shell
