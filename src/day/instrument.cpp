#include "day/instrument.h"

#include "common/log.h"
#include "day/folder_run.h"
#include "day/process_day.h"
#include "export/unload.h"
#include "import/extraction.h"
#include "storage/stage_flags.h"

namespace zarvex::day {

Instrument::Instrument(std::string_view symbol, common::ProgramFolder folder, common::Host host)
    : folder_(std::move(folder)),
      host_(host),
      stores_(settings::OpenInstrumentStores(folder_, symbol)) {
    common::Log("instrument ", symbol, " opened");
}

Instrument::~Instrument() {
    CloseStores();
}

int Instrument::GetStageFlag(std::string_view date_key, std::string_view column) const {
    return storage::GetStageFlag(stores_.operation, date_key, column);
}

void Instrument::MarkStage(std::string_view date_key, std::string_view column) {
    storage::MarkStage(stores_.operation, date_key, column);
}

common::Outcome Instrument::ProcessPreviousDays(common::Date date) {
    return day::ProcessPreviousDays(folder_, stores_, host_, date);
}

common::Outcome Instrument::ProcessDay(common::Date date) {
    return day::ProcessDay(folder_, stores_, host_, date);
}

common::Outcome Instrument::UnloadDay(common::Date date) {
    const FolderRun run(folder_, host_);
    if (!run.Admission().IsDone()) {
        return run.Admission();
    }
    return exporting::UnloadDay(folder_, stores_, host_, date);
}

common::Outcome Instrument::ExtractReport(common::Date date) {
    const FolderRun run(folder_, host_);
    if (!run.Admission().IsDone()) {
        return run.Admission();
    }
    return import::ExtractReport(folder_, stores_, host_, date);
}

void Instrument::CloseStores() {
    settings::CloseInstrumentStores(stores_);
}

}  // namespace zarvex::day
