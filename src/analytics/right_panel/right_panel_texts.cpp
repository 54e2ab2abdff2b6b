#include "analytics/right_panel/right_panel_texts.h"

#include "common/text_id.h"

namespace zarvex::analytics {

namespace {

namespace text = common::text;

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

std::string HistogramStepStartText(const common::Host& host, HistogramStep step, int n) {
    return host.Text(TextsOf(step).start) + Number(n) + host.Text(text::kWindowLocked);
}

std::string HistogramStepEndText(const common::Host& host, HistogramStep step, int n) {
    const int tail = step == HistogramStep::kDrawing ? text::kProgramReady : text::kDataProcessing;
    return host.Text(TextsOf(step).done) + Number(n) + host.Text(tail);
}

}  // namespace zarvex::analytics
