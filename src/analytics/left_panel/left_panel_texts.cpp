#include "analytics/left_panel/left_panel_texts.h"

#include <string_view>

#include "common/text_table.h"

namespace zarvex::analytics {

namespace {

// The English entries, for hosts without a text table (tests, tools).
std::string_view EnglishText(int entry) {
    switch (entry) {
        case left_text::kReady:
            return "The program is prepared to use.";
        case left_text::kPanelLocked:
            return "The left panel is temporarily locked. ";
        case left_text::kContractsStart:
            return "The contracts list is fill. ";
        case left_text::kContractsEnd:
            return "Filling of the contracts list is completed. ";
        case left_text::kBasicStart:
            return "Calculates of the basic indicators. ";
        case left_text::kBasicEnd:
            return "The calculation of the basic indicators is over. ";
        case left_text::kBordersStart:
            return "Calculates of the market borders. ";
        case left_text::kBordersEnd:
            return "The calculation of the market borders is over. ";
        case left_text::kRatiosStart:
            return "There is a calculation of the PUT / CALL ratios. ";
        case left_text::kRatiosEnd:
            return "The calculation of the ratio PUT/CALL is over. ";
        case left_text::kLevelsStart:
            return "Calculates of the significant levels. ";
        case left_text::kLevelsEnd:
            return "The calculation of the significant levels is over. ";
        case left_text::kFractalsStart:
            return "Calculates of the significant fractals. ";
        case left_text::kFractalsEnd:
            return "The calculation of the significant fractals is over. ";
        case left_text::kTablesStart:
            return "The table of the left panel is fill. ";
        case left_text::kTablesEnd:
            return "Filling the tables in the left panel is complete. ";
        case left_text::kMessageTitle:
            return "Message";
        case left_text::kTryAgain:
            return "Please try again...\r";
        case left_text::kNoDataForDate:
            return "For the selected date there is no data.\r";
        default:
            return "";
    }
}

}  // namespace

std::string LeftPanelText(const common::Host& host, int entry) {
    if (host.texts != nullptr) {
        return host.texts->Get(entry);
    }
    return std::string(EnglishText(entry));
}

}  // namespace zarvex::analytics
