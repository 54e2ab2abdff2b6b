// The downloaded-report normaliser. Its output:
// - has only CR LF line ends (no bare CR, no bare LF, no zero byte) and no "JLY";
// - holds the received lines in order, each with "JLY" made "JUL", one more empty line when
//   the received bytes ended with a line end (checked against a plain split here);
// - is left as it is by a second pass, but for the one empty line that pass adds.

#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/report_normaliser.h"
#include "fuzz/fuzz_check.h"

namespace {

// The received lines, split the slow and obvious way.
std::vector<std::string> ReceivedLines(std::string_view received) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < received.size(); ++i) {
        const char c = received[i];
        if (c == '\r' || c == '\n' || c == '\0') {
            if (c == '\r' && i + 1 < received.size() && received[i + 1] == '\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

std::string Renamed(std::string line) {
    for (std::size_t at = 0; (at = line.find("JLY", at)) != std::string::npos; at += 3) {
        line.replace(at, 3, "JUL");
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view received = zarvex::fuzz::AsText(data, size);
    const std::string out = zarvex::acquisition::NormaliseReport(received);

    FUZZ_CHECK(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0);
    FUZZ_CHECK(out.find('\0') == std::string::npos);
    FUZZ_CHECK(out.find("JLY") == std::string::npos);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == '\n');
        } else if (out[i] == '\n') {
            FUZZ_CHECK(i > 0 && out[i - 1] == '\r');
        }
    }

    std::string expected;
    for (const std::string& line : ReceivedLines(received)) {
        expected += Renamed(line);
        expected += "\r\n";
    }
    FUZZ_CHECK(out == expected);

    FUZZ_CHECK(zarvex::acquisition::NormaliseReport(out) == out + "\r\n");
    return 0;
}
