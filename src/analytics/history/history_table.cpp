#include "analytics/history/history_table.h"

#include <charconv>
#include <cmath>
#include <iterator>

#include "common/date.h"
#include "common/text.h"

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

// Figures that another program checks to 1e-9 are written in full.
std::string ExactOrEmpty(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        return "";
    }
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), *value);
    return std::string(text, result.ptr);
}

}  // namespace

const std::vector<std::string_view>& HistoryColumnKeys() {
    static const std::vector<std::string_view> keys{
        "date",
        "forward_point",
        "expiration",
        "call_level",
        "put_level",
        "width_market",
        "delta_balance",
        "upper_limit",
        "upper_border",
        "channel_center",
        "bottom_border",
        "bottom_limit",
        "upper_border_strike",
        "bottom_border_strike",
        "upper_limit_strike",
        "bottom_limit_strike",
        "ratio_oi",
        "ratio_volume",
        "ratio_avg_price",
        "max_pain",
        "max_pain_strike",
        "call_oi",
        "put_oi",
        "call_volume",
        "put_volume",
        "atm_vol",
        "rr25",
        "bf25",
        "expected_move",
        "call_level_as_of",
        "put_level_as_of",
    };
    return keys;
}

std::vector<std::string> HistoryRowCells(const HistoryDay& day) {
    auto whole = [](std::int64_t value) { return std::to_string(value); };
    return {common::DayText(day.day),
            common::FormatShort(day.forward_point),
            day.expiration,
            day.call_level.Text(),
            day.put_level.Text(),
            day.width_market.Text(),
            day.delta_balance.Text(),
            day.upper_limit.Text(),
            day.upper_border.Text(),
            day.channel_center.Text(),
            day.bottom_border.Text(),
            day.bottom_limit.Text(),
            whole(day.upper_border_strike),
            whole(day.bottom_border_strike),
            whole(day.upper_limit_strike),
            whole(day.bottom_limit_strike),
            day.ratio_oi.Text(),
            day.ratio_volume.Text(),
            day.ratio_avg_price.Text(),
            day.max_pain.Text(),
            common::FormatShort(day.max_pain_strike),
            whole(day.call_oi),
            whole(day.put_oi),
            whole(day.call_volume),
            whole(day.put_volume),
            ExactOrEmpty(day.atm_vol),
            ExactOrEmpty(day.rr25),
            ExactOrEmpty(day.bf25),
            ExactOrEmpty(day.expected_move),
            day.call_level_as_of.Text(),
            day.put_level_as_of.Text()};
}

std::vector<std::optional<double>> HistoryRowNumbers(const HistoryDay& day) {
    auto shown = [](const PanelNumber& number) {
        return number.IsNumber() ? std::optional<double>(number.Value()) : std::nullopt;
    };
    auto whole = [](std::int64_t value) {
        return std::optional<double>(static_cast<double>(value));
    };
    return {std::nullopt,
            day.forward_point,
            common::ParseDouble(common::Trim(day.expiration)),
            shown(day.call_level),
            shown(day.put_level),
            shown(day.width_market),
            shown(day.delta_balance),
            shown(day.upper_limit),
            shown(day.upper_border),
            shown(day.channel_center),
            shown(day.bottom_border),
            shown(day.bottom_limit),
            whole(day.upper_border_strike),
            whole(day.bottom_border_strike),
            whole(day.upper_limit_strike),
            whole(day.bottom_limit_strike),
            shown(day.ratio_oi),
            shown(day.ratio_volume),
            shown(day.ratio_avg_price),
            shown(day.max_pain),
            day.max_pain_strike,
            whole(day.call_oi),
            whole(day.put_oi),
            whole(day.call_volume),
            whole(day.put_volume),
            day.atm_vol,
            day.rr25,
            day.bf25,
            day.expected_move,
            shown(day.call_level_as_of),
            shown(day.put_level_as_of)};
}

std::string HistoryCsv(const ContractHistory& history) {
    std::string out;
    AppendLine(out,
               std::vector<std::string>(HistoryColumnKeys().begin(), HistoryColumnKeys().end()));
    for (const HistoryDay& day : history.days) {
        AppendLine(out, HistoryRowCells(day));
    }
    return out;
}

}  // namespace zarvex::analytics
