#include "analytics/right_panel/right_panel_texts.h"

#include <string_view>

#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::analytics {

namespace {

namespace text = shell::text;

// The English entries, for hosts without a text table (tests, tools).
std::string_view EnglishText(int entry) {
    switch (entry) {
        case text::kOpenInterest:
            return "Open interest";
        case text::kOiChange:
            return "OI Change";
        case text::kVolume:
            return "Volume";
        case text::kPriceByOi:
            return "Price x OI";
        case text::kPriceByVolume:
            return "Price x Volume";
        case text::kWindowLocked:
            return "The window is temporarily locked. Wait when operation to complete...";
        case text::kProgramReady:
            return "The program is prepared to use.";
        case text::kRightTablesFilling:
            return "The tables of the right panel is fill. ";
        case text::kRightTablesFilled:
            return "Filling the tables in the right panel is complete. ";
        case text::kHistogramScaleStarted:
            return "Calculation of the scale of the histogram N";
        case text::kHistogramScaleDone:
            return "Completed calculation of the scale of th histogram N";
        case text::kDataProcessing:
            return "Data processing is in progress. ";
        case text::kHistogramArraysStarted:
            return "Creates data arrays for the histogram N";
        case text::kHistogramArraysDone:
            return "Completed creation of arrays for histogram N";
        case text::kHistogramDrawingStarted:
            return "Creating a histogram N";
        case text::kHistogramDrawingDone:
            return "Completed creating a histogram number N";
        default:
            return "";
    }
}

struct StepTexts {
    int start;
    int done;
};

StepTexts TextsOf(HistogramStep step) {
    switch (step) {
        case HistogramStep::kScale:
            return {text::kHistogramScaleStarted, text::kHistogramScaleDone};
        case HistogramStep::kDataArrays:
            return {text::kHistogramArraysStarted, text::kHistogramArraysDone};
        case HistogramStep::kDrawing:
            return {text::kHistogramDrawingStarted, text::kHistogramDrawingDone};
    }
    return {text::kHistogramScaleStarted, text::kHistogramScaleDone};
}

// The entries end in "N" (or "№"); the number follows as "1. ".
std::string Number(int n) {
    return std::to_string(n) + ". ";
}

}  // namespace

std::string RightPanelText(const common::Host& host, int entry) {
    if (host.texts != nullptr) {
        return host.texts->Get(entry);
    }
    return std::string(EnglishText(entry));
}

std::string HistogramStepStartText(const common::Host& host, HistogramStep step, int n) {
    return RightPanelText(host, TextsOf(step).start) + Number(n) +
           RightPanelText(host, text::kWindowLocked);
}

std::string HistogramStepEndText(const common::Host& host, HistogramStep step, int n) {
    const int tail = step == HistogramStep::kDrawing ? text::kProgramReady : text::kDataProcessing;
    return RightPanelText(host, TextsOf(step).done) + Number(n) + RightPanelText(host, tail);
}

}  // namespace zarvex::analytics
