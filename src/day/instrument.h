#pragma once

#include <string>
#include <string_view>

#include "common/date.h"
#include "common/host.h"
#include "common/outcome.h"
#include "common/program_folder.h"
#include "settings/instrument_stores.h"

namespace zarvex::day {

// One currency: its databases, its settings record and its day operations. The window area
// with the two panels is the desktop program's business and wraps this object.
class Instrument final {
public:
    // Opens (or creates) the instrument's stores: configuration, operation and quote
    // databases, in that order.
    Instrument(std::string_view symbol, common::ProgramFolder folder, common::Host host);
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;
    ~Instrument();

    const std::string& Symbol() const { return stores_.symbol; }

    settings::SettingsRecord& Settings() { return stores_.settings; }
    const settings::SettingsRecord& Settings() const { return stores_.settings; }
    settings::InstrumentStores& Stores() { return stores_; }
    const common::ProgramFolder& Folder() const { return folder_; }
    const common::Host& HostOf() const { return host_; }

    // The per-date flags of the operation database ("extract", "upload").
    int GetStageFlag(std::string_view date_key, std::string_view column) const;
    void MarkStage(std::string_view date_key, std::string_view column);
    void PumpEvents() const { host_.PumpEvents(); }

    common::Outcome ProcessPreviousDays(common::Date date);
    common::Outcome ProcessDay(common::Date date);
    common::Outcome UnloadDay(common::Date date);
    common::Outcome ExtractReport(common::Date date);

    // Closes the operation and the quote database (the settings record keeps its own).
    void CloseStores();

private:
    common::ProgramFolder folder_;
    common::Host host_;
    settings::InstrumentStores stores_;
};

}  // namespace zarvex::day
