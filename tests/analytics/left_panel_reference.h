#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "analytics/day/day_context.h"
#include "import/report_row.h"
#include "left_panel_fixture.h"

namespace zarvex::analytics::left_testing {

// Stores a day's parsed rows as the extraction does: the contract trimmed, a row whose key
// (symbol, option, contract, date, strike) is already stored updates that row.
void StoreParsedRows(const std::filesystem::path& file, const std::vector<import::ReportRow>& rows);

// The left panel's results computed the plain way, from every row of the table in row order:
// literal slot arrays, a scan of every near position for every main row, sums and maxima in
// loops. SQLite only judges the filters (so that texts in numeric columns compare as they do
// in the program's own queries). `context` gives day, contract, symbol, settings and forward
// point; the result holds every calculated field as the texts the panel shows.
ContextTexts ReferencePanel(const std::filesystem::path& file, const TestContext& context);

}  // namespace zarvex::analytics::left_testing
