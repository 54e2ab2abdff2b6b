#pragma once

#include <string>
#include <string_view>

namespace zarvex::acquisition {

// The stored form of a received report: its lines in order, every "JLY" made "JUL", each line
// ended by CR LF. A line ends at CR, LF, CR LF or a zero byte; the received bytes are followed
// by one zero byte, which ends the last line, so a report that ended with a line break gets
// one empty line at the end.
std::string NormaliseReport(std::string_view received);

}  // namespace zarvex::acquisition
