#pragma once

#include <QString>

#include "common/side.h"

namespace zarvex::ui {

// "CALL" or "PUT" as the window writes a side: the report's own words, in every language.
inline QString SideCaption(common::Side side) {
    const std::string_view text = common::SideText(side);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace zarvex::ui
