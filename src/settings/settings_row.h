#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"
#include "storage/sql_value.h"
#include "storage/statement.h"

namespace zarvex::settings {

// How the 26 settings sit in row 1 of the configuration database: the columns after `id`, in
// this order, under these names.
inline constexpr int kSettingCount = 26;
inline constexpr std::array<std::string_view, kSettingCount> kSettingColumns{"Level_Cond",
                                                                             "Fractal_Main_Cond",
                                                                             "Fractal_Near_Cond",
                                                                             "PriceType",
                                                                             "Bar_Cond_1",
                                                                             "Market_Scale_1",
                                                                             "Market_Type_1",
                                                                             "Param_1",
                                                                             "Bar_Cond_2",
                                                                             "Market_Scale_2",
                                                                             "Market_Type_2",
                                                                             "Param_2",
                                                                             "Bar_Cond_3",
                                                                             "Market_Scale_3",
                                                                             "Market_Type_3",
                                                                             "Param_3",
                                                                             "Bar_Cond_4",
                                                                             "Market_Scale_4",
                                                                             "Market_Type_4",
                                                                             "Param_4",
                                                                             "IsExtract",
                                                                             "IsUpload",
                                                                             "IsFP",
                                                                             "Teplate_Outputdata",
                                                                             "Teplate_FileName",
                                                                             "OutputFolder"};

// The 26 values in column order, as the save and the first row bind them. The texts point
// into `s`, which must outlive them.
std::vector<storage::SqlValue> SettingsColumnValues(const Settings& s);

// Reads the row's columns 1..26 (0 is id) into `s`, whatever SQLite holds in them: text
// columns as text (NULL as ""), number columns as their integer value cut to its low byte
// (a text reads as its leading number or 0, a real is truncated). Columns the row lacks keep
// their value.
void ReadSettingsRow(const storage::Statement& row, Settings& s);

// The first setting column that the row does not have in its place (names compared as SQLite
// does, without regard to case), "" when all are there. A table of another layout would hand
// its values to the wrong settings.
std::string MissingSettingsColumn(const storage::Statement& row);

}  // namespace zarvex::settings
