#include "ui/shown_number.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "ui/chart/histogram_scale.h"

namespace zarvex::ui {

QString ShownForwardPoint(double forward_point) {
    // A forward point read as "-0" is still no forward point.
    const double value =
        forward_point == 0.0 || !std::isfinite(forward_point) ? 0.0 : forward_point;
    return QString::fromStdString(common::FormatFixed(value, std::max(2, DecimalsOf(value))));
}

std::string WrittenLike(double value, const std::string& like) {
    const std::string_view text = common::Trim(like);
    const std::size_t point = text.find('.');
    if (text.empty() || !std::isfinite(value)) {
        return common::FormatShort(value);
    }
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
    return common::FormatFixed(value, decimals);
}

}  // namespace zarvex::ui
