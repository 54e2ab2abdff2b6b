#include "export/foreign_output.h"

#include <system_error>

namespace zarvex::exporting {

namespace {

namespace fs = std::filesystem;

// The path with its links resolved as far as it exists, and without a trailing "/".
fs::path Resolved(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error) {
        resolved = path.lexically_normal();
    }
    if (!resolved.has_filename() && resolved.has_parent_path() &&
        resolved != resolved.root_path()) {
        resolved = resolved.parent_path();
    }
    return resolved;
}

bool HoldsProgramDatabase(const fs::path& db) {
    std::error_code error;
    for (fs::directory_iterator it(db, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) &&
            common::IsProgramDatabase(it->path().filename().string())) {
            return true;
        }
    }
    return false;
}

}  // namespace

fs::path ForeignProgramFolder(const common::ProgramFolder& folder, std::string_view output_folder) {
    if (output_folder.empty()) {
        return {};
    }
    const fs::path output = Resolved(fs::path(output_folder));
    if (output.filename() != "OUTPUT") {
        return {};
    }
    const fs::path other = output.parent_path();
    std::error_code error;
    if (other == Resolved(folder.Root()) || fs::equivalent(other, folder.Root(), error)) {
        return {};
    }
    return HoldsProgramDatabase(other / "DB") ? other : fs::path();
}

}  // namespace zarvex::exporting
