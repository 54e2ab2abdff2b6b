#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/database.h"
#include "support/temp_folder.h"

namespace zarvex::analytics::testing {

inline constexpr const char* kDay = "07.12.2012";
inline constexpr const char* kContract = "DEC12-AM";

// One row of the quote table, with the values a test usually does not care about filled in.
struct QuoteRow {
    double strike = 0.0;
    double price = 0.0;
    double delta = 0.5;
    std::int64_t volume = 0;
    std::int64_t oi = 0;
    std::int64_t doi = 0;
    std::string sign = "1";
    std::string option = "CALL";
    std::string contract = kContract;
    std::string date = kDay;
    std::string symb = "EUR";
    std::string expiration = "14.12.2012";
};

// A quote database made the way the program makes it (table and indexes), in a temporary
// program folder, filled row by row.
class QuoteDb final {
public:
    explicit QuoteDb(const std::string& symbol = "EUR");

    const storage::Database& Db() const { return db_; }
    const test::TempProgramFolder& Folder() const { return folder_; }
    void Insert(const QuoteRow& row) const;
    void Insert(const std::vector<QuoteRow>& rows) const;

private:
    test::TempProgramFolder folder_;
    storage::Database db_;
};

// A random trading day of one contract: strike ladders on and off the usual grids, premiums,
// deltas of 0 and 1 among the others, zero and large open interest, every sign.
struct GeneratedDay {
    std::string symbol;
    double forward_point = 0.0;
    std::vector<QuoteRow> rows;
};
GeneratedDay GenerateDay(std::uint64_t seed);

}  // namespace zarvex::analytics::testing
