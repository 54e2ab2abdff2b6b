#include "acquisition/report_normaliser.h"

namespace zarvex::acquisition {

namespace {

void AppendLine(std::string& out, std::string_view line) {
    std::size_t from = 0;
    while (true) {
        const std::size_t at = line.find("JLY", from);
        if (at == std::string_view::npos) {
            out.append(line.substr(from));
            break;
        }
        out.append(line.substr(from, at - from));
        out.append("JUL");
        from = at + 3;
    }
    out.append("\r\n");
}

}  // namespace

std::string NormaliseReport(std::string_view received) {
    std::string text(received);
    text.push_back('\0');
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(std::string_view("\r\n\0", 3), start);
        if (end == std::string::npos) {
            AppendLine(out, std::string_view(text).substr(start));
            break;
        }
        AppendLine(out, std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return out;
}

}  // namespace zarvex::acquisition
