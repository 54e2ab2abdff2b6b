#pragma once

#include <QString>
#include <string>

namespace zarvex::ui {

// A forward point as the window writes it everywhere: with two decimals, or with its own when
// it has more (10.82, 11.00, 10.825), so that one day's number reads the same in the field
// above the panel and in the History table.
QString ShownForwardPoint(double forward_point);

// The number written with the decimals of another number's text ("1.2650" gives 1.265 four
// decimals); as short as exact when `like` holds no number.
std::string WrittenLike(double value, const std::string& like);

}  // namespace zarvex::ui
