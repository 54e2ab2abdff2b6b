#include "common/program_folder.h"

#include <cstdlib>
#include <system_error>

namespace zarvex::common {

ProgramFolder::ProgramFolder(std::filesystem::path root) : root_(std::move(root)) {}

ProgramFolder ProgramFolder::FromEnvironment() {
    if (const char* home = std::getenv("ZARVEX_HOME"); home != nullptr && *home != '\0') {
        return ProgramFolder(std::filesystem::path(home));
    }
    return ProgramFolder(ExecutableFolder());
}

std::string ProgramFolder::RootText() const {
    std::string text = root_.generic_string();
    if (text.empty() || text.back() != '/') {
        text.push_back('/');
    }
    return text;
}

std::filesystem::path ProgramFolder::ReportFile(Date date) const {
    return Input() / ("CUR_" + DateKey(date) + ".TXT");
}

std::filesystem::path ProgramFolder::ForwardPointFile(Date date) const {
    return Input() / ("FP_" + DateKey(date) + ".TXT");
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || exe.empty()) {
        return std::filesystem::current_path(error);
    }
    return exe.parent_path();
}

}  // namespace zarvex::common
