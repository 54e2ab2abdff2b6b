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
    storage::OpenedStore quote = storage::OpenStore(stores.quote_path, storage::StoreKind::kQuote);
    stores.quote = std::move(quote.db);
    // A new file gets its seed row whatever became of the table; on a closed database the
    // insert simply fails.
    if (quote.new_file) {
        storage::InsertSeedRow(stores.quote, symbol);
    }
    return stores;
}

void CloseInstrumentStores(InstrumentStores& stores) {
    stores.operation.Close();
    stores.quote.Close();
}

}  // namespace zarvex::settings
