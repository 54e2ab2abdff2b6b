#include "storage/store.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "storage/transaction.h"

namespace zarvex::storage {

namespace {

constexpr std::string_view kConfigurationTable =
    "CREATE TABLE dating (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Level_Cond TEXT,"
    " Fractal_Main_Cond TEXT,"
    " Fractal_Near_Cond TEXT,"
    " PriceType INTEGER,"
    " Bar_Cond_1 TEXT,"
    " Market_Scale_1 INTEGER,"
    " Market_Type_1 INTEGER,"
    " Param_1 INTEGER,"
    " Bar_Cond_2 TEXT,"
    " Market_Scale_2 INTEGER,"
    " Market_Type_2 INTEGER,"
    " Param_2 INTEGER,"
    " Bar_Cond_3 TEXT,"
    " Market_Scale_3 INTEGER,"
    " Market_Type_3 INTEGER,"
    " Param_3 INTEGER,"
    " Bar_Cond_4 TEXT,"
    " Market_Scale_4 INTEGER,"
    " Market_Type_4 INTEGER,"
    " Param_4 INTEGER,"
    " IsExtract INTEGER,"
    " IsUpload INTEGER,"
    " IsFP INTEGER,"
    " Teplate_Outputdata TEXT,"
    " Teplate_FileName TEXT,"
    " OutputFolder TEXT)";

constexpr std::string_view kOperationTable =
    "CREATE TABLE dating (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " extract INTEGER,"
    " upload INTEGER,"
    " date TEXT)";

constexpr std::string_view kQuoteTable =
    "CREATE TABLE dating (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " strike DOUBLE,"
    " price DOUBLE,"
    " delta DOUBLE,"
    " volume INTEGER,"
    " oi INTEGER,"
    " doi INTEGER,"
    " sign INTEGER,"
    " symb TEXT,"
    " option TEXT,"
    " contract TEXT,"
    " expiration TEXT,"
    " date TEXT)";

constexpr std::string_view kDownloadTable =
    "CREATE TABLE dating (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " download INTEGER,"
    " convert INTEGER,"
    " date TEXT)";

constexpr std::string_view kSeedInsert =
    "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, contract, "
    "expiration, date) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";

// Makes an empty file when none is there, without ever making its folder. Never truncates:
// another program may have made the file a moment ago and be writing its first pages.
bool CreateEmptyFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        return false;
    }
    return ::close(fd) == 0;
}

std::filesystem::path InDb(const common::ProgramFolder& folder, std::string_view name) {
    return folder.Db() / std::string(name);
}

}  // namespace

std::string_view CreateTableSql(StoreKind kind) {
    switch (kind) {
        case StoreKind::kConfiguration:
            return kConfigurationTable;
        case StoreKind::kOperation:
            return kOperationTable;
        case StoreKind::kQuote:
            return kQuoteTable;
        case StoreKind::kDownload:
            return kDownloadTable;
    }
    return {};
}

namespace {

std::uintmax_t SizeOr(const std::filesystem::path& path, std::uintmax_t fallback) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? fallback : size;
}

// Whether the database holds no schema at all: a new file, or one whose creation was cut
// short and rolled back. Only such a file gets the kind's table.
bool HasNoSchema(const Database& db) {
    Statement count = db.Prepare("SELECT count(*) FROM sqlite_master");
    return count.Step() && count.ColumnInt(0) == 0;
}

}  // namespace

std::string NoFileProblem(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) {
        return {};
    }
    return std::filesystem::is_directory(status) ? "is a folder, not a database file"
                                                 : "is no regular file";
}

OpenedStore OpenStore(const std::filesystem::path& path, StoreKind kind,
                      const std::function<void(const Database&)>& fill) {
    OpenedStore result;
    result.problem = NoFileProblem(path);
    if (!result.problem.empty()) {
        return result;
    }
    if (SizeOr(path, 0) > 0) {
        result.db = Database::Open(path);
        if (!result.db.IsOpen()) {
            result.problem = result.db.OpenError();
            return result;
        }
        // A creation cut short leaves a hot journal; the first read rolls it back, and a file
        // that is empty afterwards is made anew like any empty file.
        {
            Statement touch = result.db.Prepare("SELECT count(*) FROM sqlite_master");
            touch.Step();
        }
        if (SizeOr(path, 1) > 0) {
            return result;
        }
    } else {
        if (!CreateEmptyFile(path)) {
            result.new_file = true;
            return result;
        }
        result.db = Database::Open(path);
    }
    result.new_file = true;
    if (!result.db.IsOpen()) {
        return result;
    }
    // Several programs may find the file new at once. The immediate transaction lets one of
    // them at a time look and create; whoever comes second finds the schema there and leaves
    // the file alone, so the table and its first row are written exactly once.
    Transaction transaction(result.db, Transaction::Mode::kImmediate);
    if (!transaction.Began() || !HasNoSchema(result.db)) {
        return result;
    }
    const bool created = result.db.Execute(CreateTableSql(kind));
    if (kind == StoreKind::kQuote && created) {
        for (const std::string_view index : kQuoteIndexSql) {
            result.db.Execute(index);
        }
    }
    if (fill) {
        fill(result.db);
    }
    result.created_table = transaction.Commit() && created;
    return result;
}

bool InsertSeedRow(const Database& db, std::string_view symbol) {
    // Bound as texts, so the numeric columns convert them exactly as quoted literals would.
    return db.Execute(
        kSeedInsert,
        {std::string_view("1.000000"), std::string_view("0.000001"), std::string_view("0.000001"),
         std::string_view("1"), std::string_view("1"), std::string_view("0"), std::string_view("0"),
         symbol, std::string_view("CALL"), std::string_view("JUN12-AM"),
         std::string_view("12.12.2012"), std::string_view("03.12.2012")});
}

bool HoldsOnlySeedRow(const Database& db) {
    // Two rows at most are read: a second row of any kind means there is data.
    Statement rows = db.Prepare("SELECT contract, date, strike FROM dating LIMIT 2");
    if (!rows.Step()) {
        return false;
    }
    const bool seed = rows.ColumnText(0) == "JUN12-AM" && rows.ColumnText(1) == "03.12.2012" &&
                      rows.ColumnDouble(2) == 1.0;
    return seed && !rows.Step();
}

std::filesystem::path ConfigurationPath(const common::ProgramFolder& folder,
                                        std::string_view symbol) {
    return InDb(folder, std::string(symbol) + "_config.lql");
}

std::filesystem::path OperationPath(const common::ProgramFolder& folder, std::string_view symbol) {
    return InDb(folder, std::string(symbol) + "_operation.lql");
}

std::filesystem::path QuotePath(const common::ProgramFolder& folder, std::string_view symbol) {
    return InDb(folder, std::string(symbol) + "_data.lql");
}

std::filesystem::path DownloadPath(const common::ProgramFolder& folder) {
    return InDb(folder, "download.lql");
}

DownloadStore OpenDownloadStore(const common::ProgramFolder& folder) {
    DownloadStore store;
    store.path = DownloadPath(folder);
    store.db = OpenStore(store.path, StoreKind::kDownload).db;
    return store;
}

}  // namespace zarvex::storage
