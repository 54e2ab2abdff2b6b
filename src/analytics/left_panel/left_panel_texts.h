#pragma once

#include <string>

#include "common/host.h"

namespace zarvex::analytics {

// Interface text entries of the left panel.
namespace left_text {
inline constexpr int kReady = 82;            // "The program is prepared to use."
inline constexpr int kPanelLocked = 100;     // "The left panel is temporarily locked. "
inline constexpr int kContractsStart = 101;  // "The contracts list is fill. "
inline constexpr int kContractsEnd = 102;    // "Filling of the contracts list is ..."
inline constexpr int kBasicStart = 103;      // "Calculates of the basic indicators. "
inline constexpr int kBasicEnd = 104;
inline constexpr int kBordersStart = 105;  // "Calculates of the market borders. "
inline constexpr int kBordersEnd = 106;
inline constexpr int kRatiosStart = 107;  // "There is a calculation of the PUT / ..."
inline constexpr int kRatiosEnd = 108;
inline constexpr int kLevelsStart = 109;  // "Calculates of the significant levels. "
inline constexpr int kLevelsEnd = 110;
inline constexpr int kFractalsStart = 111;  // "Calculates of the significant fractals. "
inline constexpr int kFractalsEnd = 112;
inline constexpr int kTablesStart = 113;    // "The table of the left panel is fill. "
inline constexpr int kTablesEnd = 114;      // "Filling the tables in the left panel ..."
inline constexpr int kMessageTitle = 115;   // "Message"
inline constexpr int kTryAgain = 117;       // "Please try again...\r"
inline constexpr int kNoDataForDate = 120;  // "For the selected date there is no data.\r"
}  // namespace left_text

// The text of an entry in the host's language; English when the host has no text table.
std::string LeftPanelText(const common::Host& host, int entry);

}  // namespace zarvex::analytics
