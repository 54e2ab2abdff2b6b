#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/history/contract_history.h"

namespace zarvex::analytics {

// The columns of a history as the command line and the window's table write them: the
// catalogue's figures of `history` in its order (figure_catalogue.h).
std::vector<std::string_view> HistoryColumnKeys();

// One day's cells in the order of HistoryColumnKeys: the texts as shown, numbers written with
// a decimal point and no trailing zeros (integers without a point); the volatility figures in
// the shortest form that reads back the same number, empty where there is none.
std::vector<std::string> HistoryRowCells(const HistoryDay& day);

// The same cells as numbers, for sorting and drawing: nullopt for the date, an empty cell
// (a blank level included) and an expiration that is no number.
std::vector<std::optional<double>> HistoryRowNumbers(const HistoryDay& day);

// One CSV field as RFC 4180 asks: quoted when it holds a comma, a double quote, CR or LF,
// its quotes doubled.
std::string CsvField(std::string_view cell);

// The history as CSV: a header line of the column keys, then one line per day; fields quoted
// as RFC 4180 asks (a field holding a comma, a double quote, CR or LF is quoted, its quotes
// doubled); lines end with CRLF.
std::string HistoryCsv(const ContractHistory& history);

}  // namespace zarvex::analytics
