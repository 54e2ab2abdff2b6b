#include "common/program_folder.h"

#include <array>
#include <system_error>

#include "common/symbols.h"
#include "common/text.h"
#include "common/user_environment.h"

namespace zarvex::common {

namespace {

// The folder as an absolute path, so that what is stored from it (the output folder of the
// settings) names the same place when a later run starts from another directory.
std::filesystem::path Absolute(std::filesystem::path root) {
    if (root.empty() || root.is_absolute()) {
        return root;
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(root, error);
    return error ? root : absolute.lexically_normal();
}

}  // namespace

ProgramFolder::ProgramFolder(std::filesystem::path root) : root_(Absolute(std::move(root))) {}

namespace {

bool HasLayout(const std::filesystem::path& folder) {
    std::error_code error;
    for (const char* name : {"INPUT", "OUTPUT", "DB"}) {
        if (!std::filesystem::is_directory(folder / name, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

ProgramFolder ProgramFolder::FromEnvironment() {
    return Choose({EnvironmentVariable("ZARVEX_HOME"), ExecutableFolder(),
                   EnvironmentVariable("XDG_DATA_HOME"), UserHome()});
}

ProgramFolder ProgramFolder::Choose(const FolderSources& sources) {
    if (!sources.zarvex_home.empty()) {
        return ProgramFolder(std::filesystem::path(sources.zarvex_home));
    }
    if (HasLayout(sources.executable)) {
        return ProgramFolder(sources.executable);
    }
    // The base directory rules: a relative $XDG_DATA_HOME is invalid and is ignored.
    std::filesystem::path data = sources.xdg_data_home;
    if (data.empty() || data.is_relative()) {
        data = std::filesystem::path(sources.user_home.empty() ? "/tmp" : sources.user_home) /
               ".local" / "share";
    }
    ProgramFolder folder(data / "zarvex");
    folder.per_user_ = true;
    return folder;
}

bool ProgramFolder::PrepareLayout() const {
    if (!per_user_) {
        return true;
    }
    bool made = true;
    for (const auto& folder : {Input(), Output(), Db()}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        made = made && !error;
    }
    return made;
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

bool IsProgramDatabase(std::string_view name) {
    if (name == "download.lql") {
        return true;
    }
    for (const std::string_view symbol : kSymbols) {
        for (const std::string_view suffix :
             {"_config.lql", "_operation.lql", "_data.lql", "_volatility.lql"}) {
            if (name.size() == symbol.size() + std::string_view(suffix).size() &&
                StartsWith(name, symbol) && EndsWith(name, suffix)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace zarvex::common
