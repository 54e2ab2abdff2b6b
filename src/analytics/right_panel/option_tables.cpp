#include "analytics/right_panel/option_tables.h"

#include <cmath>
#include <utility>

#include "analytics/right_panel/right_panel_texts.h"
#include "common/currency_conventions.h"
#include "common/text.h"
#include "common/text_id.h"
#include "storage/quote_columns.h"

namespace zarvex::analytics {

namespace {

namespace quote_column = storage::quote_column;

// A sum that is not a finite number (a table holding inf) is shown as 0 rather than "inf".
double Finite(double value) {
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

std::string OptionUnitText(double value) {
    if (value == 0.0) {
        return "0";
    }
    if (value == 1.0) {
        return "1";
    }
    return common::FormatFixed(value, 5);
}

std::string OptionSignText(std::string_view stored) {
    if (stored == "-1") {
        return "-";
    }
    if (stored == "1") {
        return "+";
    }
    return std::string(stored);
}

std::string PriceTimesOiText(double product) {
    return product == 0.0 ? "0" : common::FormatFixed(product, 4);
}

common::Result<OptionTable> FillOptionTable(const storage::Database& db, std::string_view date,
                                            std::string_view contract, common::Side side) {
    using Table = common::Result<OptionTable>;
    std::string sql = "SELECT * FROM dating WHERE date = ?1 AND contract = ?2 AND option = '";
    sql += common::SideText(side);
    sql += "' ORDER BY strike ASC";
    storage::Statement query = db.Prepare(sql);
    query.BindAll({date, contract});

    if (query.ColumnCount() < quote_column::kCount) {
        return Table::Failed(query.Error().empty() ? "the quote table lacks columns"
                                                   : query.Error());
    }
    OptionTable table;
    double volume_sum = 0.0;
    double oi_sum = 0.0;
    double price_oi_sum = 0.0;
    while (query.Step()) {
        // SQLite keeps an overflowing number as an infinity: it reads as 0, as on the charts.
        const double price = Finite(query.ColumnDouble(quote_column::kPrice));
        const double oi = Finite(query.ColumnDouble(quote_column::kOi));
        const double price_oi = price * oi;
        table.rows.push_back({
            common::FormatFixed(Finite(query.ColumnDouble(quote_column::kStrike)), 5),
            OptionUnitText(price),
            OptionUnitText(Finite(query.ColumnDouble(quote_column::kDelta))),
            common::TrimCopy(query.ColumnTextView(quote_column::kVolume)),
            common::TrimCopy(query.ColumnTextView(quote_column::kOi)),
            common::TrimCopy(query.ColumnTextView(quote_column::kDoi)),
            OptionSignText(query.ColumnTextView(quote_column::kSign)),
            PriceTimesOiText(price_oi),
        });
        volume_sum += Finite(query.ColumnDouble(quote_column::kVolume));
        oi_sum += oi;
        price_oi_sum += price_oi;
    }
    if (query.Failed()) {
        return Table::Failed(query.Error());
    }
    table.rows.push_back({"TOTAL", "", "", common::FormatFixed(Finite(volume_sum), 0),
                          common::FormatFixed(Finite(oi_sum), 0), "", "",
                          common::FormatShort(Finite(price_oi_sum))});
    return Table::Of(std::move(table));
}

common::Result<OptionTables> FillOptionTables(const storage::Database& db, std::string_view date,
                                              std::string_view contract, const common::Host& host) {
    const common::ScopedUiLock lock(host.lock);
    host.ShowStatus(host.Text(common::text::kRightTablesFilling));
    common::Result<OptionTable> put = FillOptionTable(db, date, contract, common::Side::kPut);
    common::Result<OptionTable> call = FillOptionTable(db, date, contract, common::Side::kCall);
    host.ShowStatus(host.Text(common::text::kRightTablesFilled));
    if (!put || !call) {
        return common::Result<OptionTables>::Failed(!put ? put.Reason() : call.Reason());
    }
    return common::Result<OptionTables>::Of({std::move(put).Value(), std::move(call).Value()});
}

std::string ForwardPointText(double forward_point) {
    // A forward point read as "-0" is still no forward point.
    return common::FormatFixed(forward_point == 0.0 ? 0.0 : forward_point, 1);
}

bool ShowsForwardPoint(std::string_view symbol) {
    return common::ShowsForwardPoint(symbol);
}

}  // namespace zarvex::analytics
