#include "analytics/history/history_table.h"

#include "analytics/day/figure_catalogue.h"

namespace zarvex::analytics {

std::string CsvField(std::string_view cell) {
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(cell);
    }
    std::string quoted = "\"";
    for (char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

namespace {

void AppendLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += CsvField(cells[i]);
    }
    out += "\r\n";
}

}  // namespace

std::vector<std::string_view> HistoryColumnKeys() {
    std::vector<std::string_view> keys;
    for (const FigureId id : FiguresIn(figure_output::kHistory)) {
        keys.push_back(Figure(id).key);
    }
    return keys;
}

std::vector<std::string> HistoryRowCells(const HistoryDay& day) {
    std::vector<std::string> cells;
    for (const FigureId id : FiguresIn(figure_output::kHistory)) {
        cells.push_back(Figure(id).read(day).text);
    }
    return cells;
}

std::vector<std::optional<double>> HistoryRowNumbers(const HistoryDay& day) {
    std::vector<std::optional<double>> numbers;
    for (const FigureId id : FiguresIn(figure_output::kHistory)) {
        numbers.push_back(Figure(id).read(day).number);
    }
    return numbers;
}

std::string HistoryCsv(const ContractHistory& history) {
    std::string out;
    const std::vector<std::string_view> keys = HistoryColumnKeys();
    AppendLine(out, std::vector<std::string>(keys.begin(), keys.end()));
    for (const HistoryDay& day : history.days) {
        AppendLine(out, HistoryRowCells(day));
    }
    return out;
}

}  // namespace zarvex::analytics
