#pragma once

#include "common/text_id.h"

namespace zarvex::analytics {

// Display scales of a histogram (Market_Scale_N): which axis range counts.
inline constexpr int kScaleAllLevels = 0;  // every strike with open interest
inline constexpr int kScaleInLimits = 1;   // the strikes of the market limits
inline constexpr int kScaleInBorders = 2;  // the strikes of the largest open interest

// Displayed parameters (Param_N): what a bar measures.
inline constexpr int kParamOpenInterest = 0;
inline constexpr int kParamOiChange = 1;
inline constexpr int kParamVolume = 2;
inline constexpr int kParamPriceTimesOi = 3;
inline constexpr int kParamPriceTimesVolume = 4;

inline constexpr int kHistogramCount = 4;

// The interface text entry of a parameter's caption ("Open interest" ... "Price x Volume");
// -1 for a parameter outside 0..4, which has no caption.
constexpr int HistogramCaptionEntry(int param) {
    return param >= kParamOpenInterest && param <= kParamPriceTimesVolume
               ? common::text::kOpenInterest + param
               : -1;
}

}  // namespace zarvex::analytics
