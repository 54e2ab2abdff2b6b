#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "common/plain_host.h"
#include "common/text_table.h"
#include "settings/instrument_stores.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace zarvex::test {

// A program folder with one instrument's stores open, for the day operations.
class DayFixture {
public:
    explicit DayFixture(std::string_view symbol = "EUR")
        : texts_(common::Language::kEnglish),
          stores_(settings::OpenInstrumentStores(home_.Folder(), symbol)) {
        stores_.settings.SetDefaults();
    }

    common::ProgramFolder Folder() const { return home_.Folder(); }
    const std::filesystem::path& Home() const { return home_.Path(); }
    settings::InstrumentStores& Stores() { return stores_; }
    common::Host Host() { return host_.AsHost(&texts_); }
    common::PlainHost& Plain() { return host_; }

    // Inserts a quote row the way the extraction stores one (all values as texts).
    void AddRow(const std::vector<std::string>& values) {
        stores_.quote.Execute(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {std::string_view(values.at(0)), std::string_view(values.at(1)),
             std::string_view(values.at(2)), std::string_view(values.at(3)),
             std::string_view(values.at(4)), std::string_view(values.at(5)),
             std::string_view(values.at(6)), std::string_view(values.at(7)),
             std::string_view(values.at(8)), std::string_view(values.at(9)),
             std::string_view(values.at(10)), std::string_view(values.at(11))});
    }

    std::int64_t Count(std::string_view where = "1") {
        storage::Statement s =
            stores_.quote.Prepare("SELECT count(*) FROM dating WHERE " + std::string(where));
        return s.Step() ? s.ColumnInt(0) : -1;
    }

private:
    TempProgramFolder home_;
    common::TextTable texts_;
    common::PlainHost host_;
    settings::InstrumentStores stores_;
};

}  // namespace zarvex::test
