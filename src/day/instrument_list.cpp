#include "day/instrument_list.h"

#include <exception>
#include <string>

#include "common/log.h"
#include "common/text_id.h"
#include "day/process_day.h"

namespace zarvex::day {

namespace {

std::string CompletionText(const common::Host& host, int done) {
    return host.Text(done) + host.Text(common::text::kProgramReady);
}

}  // namespace

InstrumentList::InstrumentList(common::ProgramFolder folder, common::Host host) : host_(host) {
    common::Log("instrument list: creating");
    for (int i = 0; i < kCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        instruments_[index] = std::make_unique<Instrument>(kSymbols[index], folder, host);
    }
}

std::vector<settings::InstrumentStores*> InstrumentList::AllStores() {
    std::vector<settings::InstrumentStores*> stores;
    for (auto& instrument : instruments_) {
        stores.push_back(&instrument->Stores());
    }
    return stores;
}

common::Outcome InstrumentList::Conclude(const std::vector<common::Outcome>& results) const {
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (!results[i].IsDone()) {
            const std::string& why = results[i].Reason();
            return common::Outcome::Failed(
                instruments_[i]->Symbol() + ": " +
                (why.empty() ? std::string("the day could not be finished") : why));
        }
    }
    return common::Outcome::Done();
}

// The instruments run together, so that each day's report is read once for all six.
common::Outcome InstrumentList::RunPreviousDays(common::Date date) {
    stored_date_ = date;
    common::Outcome result = Conclude(
        day::ProcessPreviousDays(instruments_.front()->Folder(), AllStores(), host_, date));
    host_.ShowStatus(CompletionText(host_, common::text::kPreviousDaysProcessed));
    Evening(date - common::kSecondsPerDay);
    return result;
}

common::Outcome InstrumentList::RunCurrentDay() {
    common::Outcome result =
        Conclude(day::ProcessDay(instruments_.front()->Folder(), AllStores(), host_, stored_date_));
    host_.ShowStatus(CompletionText(host_, common::text::kCurrentDayProcessed));
    Evening(stored_date_);
    return result;
}

common::Outcome InstrumentList::RunCurrentDay(common::Date day) {
    stored_date_ = day;
    return RunCurrentDay();
}

void InstrumentList::SetEvening(std::filesystem::path config_folder, EveningSink* sink) {
    evening_config_ = std::move(config_folder);
    evening_sink_ = sink;
}

void InstrumentList::Evening(common::Date up_to) {
    if (!evening_config_) {
        return;
    }
    std::vector<analytics::BoardSource> sources;
    for (auto& instrument : instruments_) {
        settings::InstrumentStores& stores = instrument->Stores();
        sources.push_back(
            {analytics::AnalysisInput(stores.settings.Values(), stores.symbol), stores.quote_path});
    }
    // The day's work is done and stored; whatever happens here only costs the evening.
    try {
        last_evening_ =
            RunEvening(sources, up_to, instruments_.front()->Folder(), *evening_config_, host_);
        if (evening_sink_ != nullptr) {
            evening_sink_->EveningDone(*last_evening_);
        }
    } catch (const std::exception& e) {
        host_.ShowStatus(host_.Text(common::text::kBoardRulesProblem) + e.what());
    }
}

std::optional<common::Outcome> InstrumentList::OnDownloaded(common::DownloadedDays what,
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

}  // namespace zarvex::day
