#include "settings/instrument_stores.h"

#include <string>
#include <utility>

#include "storage/store.h"

namespace zarvex::settings {

InstrumentStores OpenInstrumentStores(const common::ProgramFolder& folder,
                                      std::string_view symbol) {
    InstrumentStores stores{
        std::string(symbol), SettingsRecord(std::string(symbol), folder), {}, {}, {}, {}};
    stores.settings.OpenSettings(storage::ConfigurationPath(folder, symbol));

    stores.operation_path = storage::OperationPath(folder, symbol);
    stores.operation = storage::OpenStore(stores.operation_path, storage::StoreKind::kOperation).db;

    stores.quote_path = storage::QuotePath(folder, symbol);
    // A new file gets its seed row whatever became of the table (the insert then simply
    // fails), in the same transaction as the table.
    stores.quote = storage::OpenStore(stores.quote_path, storage::StoreKind::kQuote,
                                      [symbol](const storage::Database& db) {
                                          storage::InsertSeedRow(db, symbol);
                                      })
                       .db;
    return stores;
}

void CloseInstrumentStores(InstrumentStores& stores) {
    stores.operation.Close();
    stores.quote.Close();
}

}  // namespace zarvex::settings
