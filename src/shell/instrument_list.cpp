#include "shell/instrument_list.h"

#include <string>

#include "import/extraction.h"
#include "shell/log.h"
#include "shell/text_table.h"

namespace zarvex::shell {

namespace {

std::string CompletionText(const common::Host& host, int done) {
    if (host.texts == nullptr) {
        return {};
    }
    return host.texts->Get(done) + host.texts->Get(text::kProgramReady);
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

int InstrumentList::IndexOf(std::string_view symbol) {
    for (int i = 0; i < kCount; ++i) {
        if (kSymbols[static_cast<std::size_t>(i)] == symbol) {
            return i;
        }
    }
    return -1;
}

std::vector<settings::InstrumentStores*> InstrumentList::AllStores() {
    std::vector<settings::InstrumentStores*> stores;
    for (auto& instrument : instruments_) {
        stores.push_back(&instrument->Stores());
    }
    return stores;
}

int InstrumentList::Conclude(const std::vector<int>& results) {
    failure_.clear();
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] != 0) {
            continue;
        }
        if (failure_.empty()) {
            const settings::InstrumentStores& stores = instruments_[i]->Stores();
            failure_ = stores.symbol + ": " +
                       (stores.failure.empty() ? std::string("the day could not be finished")
                                               : stores.failure);
        }
    }
    return failure_.empty() ? 1 : 0;
}

// The instruments run together, so that each day's report is read once for all six.
int InstrumentList::RunPreviousDays(common::Date date) {
    stored_date_ = date;
    const int result = Conclude(
        import::ProcessPreviousDays(instruments_.front()->Folder(), AllStores(), host_, date));
    host_.ShowStatus(CompletionText(host_, text::kPreviousDaysProcessed));
    return result;
}

int InstrumentList::RunCurrentDay() {
    const int result = Conclude(
        import::ProcessDay(instruments_.front()->Folder(), AllStores(), host_, stored_date_));
    host_.ShowStatus(CompletionText(host_, text::kCurrentDayProcessed));
    return result;
}

int InstrumentList::RunCurrentDay(common::Date day) {
    stored_date_ = day;
    return RunCurrentDay();
}

int InstrumentList::OnDownloaded(int value, common::Date scheduler_day) {
    if (value == 1) {
        return RunPreviousDays(common::DayStart(scheduler_day));
    }
    if (value == 2) {
        return RunCurrentDay(common::DayStart(scheduler_day));
    }
    return 1;
}

}  // namespace zarvex::shell
