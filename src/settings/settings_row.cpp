#include "settings/settings_row.h"

#include <cstdint>

#include "common/text.h"

namespace zarvex::settings {

namespace {

std::int8_t LowByte(std::int64_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

}  // namespace

std::vector<storage::SqlValue> SettingsColumnValues(const Settings& s) {
    std::vector<storage::SqlValue> values;
    values.reserve(kSettingCount);
    values.emplace_back(std::string_view(s.level_cond));
    values.emplace_back(std::string_view(s.fractal_main_cond));
    values.emplace_back(std::string_view(s.fractal_near_cond));
    values.emplace_back(std::int64_t{s.price_type});
    for (const HistogramSettings& h : s.histograms) {
        values.emplace_back(std::string_view(h.bar_cond));
        values.emplace_back(std::int64_t{h.market_scale});
        values.emplace_back(std::int64_t{h.market_type});
        values.emplace_back(std::int64_t{h.param});
    }
    values.emplace_back(std::int64_t{s.is_extract});
    values.emplace_back(std::int64_t{s.is_upload});
    values.emplace_back(std::int64_t{s.is_fp});
    values.emplace_back(std::string_view(s.template_output_data));
    values.emplace_back(std::string_view(s.template_file_name));
    values.emplace_back(std::string_view(s.output_folder));
    return values;
}

std::string MissingSettingsColumn(const storage::Statement& row) {
    for (int i = 0; i < kSettingCount; ++i) {
        const std::string_view want = kSettingColumns[static_cast<std::size_t>(i)];
        if (i + 1 >= row.ColumnCount() ||
            common::ToLowerAscii(row.ColumnName(i + 1)) != common::ToLowerAscii(want)) {
            return std::string(want);
        }
    }
    return {};
}

void ReadSettingsRow(const storage::Statement& row, Settings& s) {
    const int count = row.ColumnCount();
    int column = 1;
    auto text = [&](std::string& field) {
        if (column < count) {
            field = row.ColumnText(column);
        }
        ++column;
    };
    auto byte = [&](std::int8_t& field) {
        if (column < count) {
            field = LowByte(row.ColumnInt(column));
        }
        ++column;
    };
    text(s.level_cond);
    text(s.fractal_main_cond);
    text(s.fractal_near_cond);
    byte(s.price_type);
    for (HistogramSettings& h : s.histograms) {
        text(h.bar_cond);
        byte(h.market_scale);
        byte(h.market_type);
        byte(h.param);
    }
    byte(s.is_extract);
    byte(s.is_upload);
    byte(s.is_fp);
    text(s.template_output_data);
    text(s.template_file_name);
    text(s.output_folder);
}

}  // namespace zarvex::settings
