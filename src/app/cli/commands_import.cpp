#include <ostream>
#include <string_view>
#include <utility>

#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "common/date.h"
#include "import/parse_report.h"

namespace zarvex::cli {

namespace {

void WriteRow(JsonWriter& json, const import::ReportRow& row) {
    const std::pair<std::string_view, const std::string&> columns[] = {
        {"strike", row.strike},
        {"price", row.price},
        {"delta", row.delta},
        {"volume", row.volume},
        {"oi", row.oi},
        {"doi", row.doi},
        {"sign", row.sign},
        {"symb", row.symb},
        {"option", row.option},
        {"contract", row.contract},
        {"expiration", row.expiration},
        {"date", row.date},
    };
    json.BeginObject();
    for (const auto& [key, value] : columns) {
        json.Key(key).String(value);
    }
    json.EndObject();
}

}  // namespace

int CmdParse(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date"});
    const std::string symbol = args.Required("symbol");
    if (symbol.empty()) {
        throw UsageError("--symbol must not be empty");
    }
    const common::Date date = args.RequiredDayText("date");
    if (args.Positional().size() != 1) {
        throw UsageError("parse needs exactly one FILE");
    }
    const std::string& file = args.Positional().front();

    // The whole answer is built before anything is printed, so a read error half-way leaves
    // stdout empty instead of holding half an object.
    JsonWriter json;
    json.BeginObject().Key("rows").BeginArray();
    const auto summary =
        import::ParseReportFile(file, symbol, common::DayText(date),
                                [&json](const import::ReportRow& row) { WriteRow(json, row); });
    if (!summary) {
        *ctx.err << "zarvex-cli: cannot read " << file << '\n';
        return kExitFailed;
    }
    json.EndArray().Key("lines_read").Int(summary->lines_read ? 1 : 0).EndObject();
    *ctx.out << json.Text() << '\n';
    return kExitDone;
}

}  // namespace zarvex::cli
