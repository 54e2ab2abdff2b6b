#include "analytics/left_panel/left_panel_cells.h"

#include "common/text.h"

namespace zarvex::analytics {

namespace {

// The rows below the entries are emptied too, so that a column never keeps the texts of an
// earlier fill.
void WriteColumn(PanelTableColumn& column, const std::vector<PanelNumber>& entries) {
    const std::vector<std::string> shown = ShownEntries(NumberTexts(entries));
    for (std::size_t row = 0; row < column.size(); ++row) {
        column[row] = row < shown.size() ? shown[row] : std::string();
    }
}

}  // namespace

std::vector<std::string> ShownEntries(const std::vector<std::string>& entries) {
    std::vector<std::string> shown;
    for (const std::string& entry : entries) {
        if (shown.size() == static_cast<std::size_t>(kPanelTableRows)) {
            break;
        }
        if (common::Trim(entry).empty() || entry == "0.0") {
            continue;
        }
        shown.push_back(entry);
    }
    return shown;
}

std::vector<std::string> NumberTexts(const std::vector<PanelNumber>& numbers) {
    std::vector<std::string> texts;
    texts.reserve(numbers.size());
    for (const PanelNumber& number : numbers) {
        texts.push_back(number.Text());
    }
    return texts;
}

PanelFigures PanelFigureTexts(const DayFigureValues& context) {
    PanelFigures cells;
    cells.expiration = context.expiration;
    cells.call_level = context.call_level.Text();
    cells.put_level = context.put_level.Text();
    cells.market_width = context.market_width.Text();
    cells.delta_balance = context.delta_balance.Text();
    cells.upper_limit = context.upper_limit.Text();
    cells.upper_border = context.upper_border.Text();
    cells.channel_center = context.channel_center.Text();
    cells.bottom_border = context.bottom_border.Text();
    cells.bottom_limit = context.bottom_limit.Text();
    cells.ratio_oi = context.ratio_oi.Text();
    cells.ratio_volume = context.ratio_volume.Text();
    cells.ratio_avg_price = context.ratio_avg_price.Text();
    return cells;
}

LeftPanelCells PanelTexts(const DayContext& context) {
    LeftPanelCells cells;
    static_cast<PanelFigures&>(cells) = PanelFigureTexts(context);
    WriteColumn(cells.level_call, context.call_levels);
    WriteColumn(cells.level_put, context.put_levels);
    WriteColumn(cells.fractal_call, context.call_fractals);
    WriteColumn(cells.fractal_put, context.put_fractals);
    return cells;
}

}  // namespace zarvex::analytics
