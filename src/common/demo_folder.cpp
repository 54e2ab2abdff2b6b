#include "common/demo_folder.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_folder.h"
#include "common/text.h"
#include "common/user_environment.h"

namespace zarvex::common {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUseAnother =
    "; give the demo an empty folder or one it made itself (--home DIR)";

// What the demo itself leaves in its folder's root besides INPUT/, OUTPUT/ and DB/.
constexpr std::array<std::string_view, 4> kDemoFiles{"reportgen.log", "reportserver.log",
                                                     "reportserver.port", "log.txt"};
// SQLite's companions of a database while it writes.
constexpr std::array<std::string_view, 4> kCompanions{"", "-journal", "-wal", "-shm"};

fs::file_type TypeOf(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type();
}

// why: what the entry is not, or what the folder lacks.
std::string Foreign(const fs::path& folder, const fs::path& entry, std::string_view why) {
    return folder.string() + " holds " + entry.string() + std::string(why) +
           ": it may be real data, and the demo never writes there" + std::string(kUseAnother);
}

// The entries of a folder by name, so that a refusal always names the same one.
std::vector<fs::path> Entries(const fs::path& folder, std::error_code& error) {
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool IsDemoDatabase(std::string_view name) {
    for (const std::string_view companion : kCompanions) {
        if (EndsWith(name, companion) &&
            IsProgramDatabase(name.substr(0, name.size() - companion.size()))) {
            return true;
        }
    }
    return false;
}

// The first entry under sub that the demo would not have written there; "" when none.
std::string ForeignIn(const fs::path& folder, std::string_view sub) {
    std::error_code error;
    const std::vector<fs::path> entries = Entries(folder / sub, error);
    if (error) {
        return "cannot read " + (folder / sub).string() + ": " + error.message();
    }
    for (const fs::path& entry : entries) {
        const std::string name = entry.filename().string();
        const fs::file_type type = TypeOf(entry);
        if (sub == "DB") {
            if (name == "run.lock" && type == fs::file_type::regular) {
                continue;
            }
            if (!IsDemoDatabase(name)) {
                return Foreign(folder, entry, ", which is no database the demo makes");
            }
        } else if (sub == "OUTPUT" && name == "levels" && type == fs::file_type::directory) {
            if (std::string inner = ForeignIn(folder, "OUTPUT/levels"); !inner.empty()) {
                return inner;
            }
            continue;
        }
        if (sub != "server" && type != fs::file_type::regular) {
            return Foreign(folder, entry, ", which is no plain file");
        }
    }
    return "";
}

}  // namespace

fs::path DemoFolder() {
    fs::path base = EnvironmentVariable("XDG_DATA_HOME");
    // A relative $XDG_DATA_HOME is invalid under the base directory rules and is ignored.
    if (base.empty() || base.is_relative()) {
        const std::string user_home = UserHome();
        base = fs::path(user_home.empty() ? "/tmp" : user_home) / ".local" / "share";
    }
    return base / "zarvex-demo";
}

fs::path DemoMarker(const fs::path& folder) {
    return folder / ".zarvex-demo";
}

bool IsDemoFolder(const fs::path& folder) {
    return TypeOf(DemoMarker(folder)) == fs::file_type::regular;
}

std::string DemoFolderRefusal(const fs::path& folder) {
    std::error_code error;
    const fs::file_status root = fs::status(folder, error);
    if (root.type() == fs::file_type::not_found) {
        return "";
    }
    if (root.type() != fs::file_type::directory) {
        return folder.string() + " is not a folder" + std::string(kUseAnother);
    }
    const std::vector<fs::path> entries = Entries(folder, error);
    if (error) {
        return "cannot read " + folder.string() + ": " + error.message();
    }
    if (entries.empty()) {
        return "";
    }
    if (!IsDemoFolder(folder)) {
        // Reports alone, a download database, settings without quotes: all of it may be real.
        for (const fs::path& entry : entries) {
            if (entry.filename() == "DB" && TypeOf(entry) == fs::file_type::directory) {
                std::vector<fs::path> stores = Entries(entry, error);
                if (!stores.empty()) {
                    return Foreign(folder, stores.front(), " but no demo mark (.zarvex-demo)");
                }
            }
        }
        return Foreign(folder, entries.front(), " but no demo mark (.zarvex-demo)");
    }
    for (const fs::path& entry : entries) {
        const std::string name = entry.filename().string();
        const fs::file_type type = TypeOf(entry);
        if (name == "INPUT" || name == "OUTPUT" || name == "DB" || name == "server") {
            if (type != fs::file_type::directory) {
                return Foreign(folder, entry, ", which is no folder");
            }
            if (std::string inner = ForeignIn(folder, name); !inner.empty()) {
                return inner;
            }
            continue;
        }
        const bool own = name == DemoMarker(folder).filename() ||
                         std::find(kDemoFiles.begin(), kDemoFiles.end(), name) != kDemoFiles.end();
        if (!own || type != fs::file_type::regular) {
            return Foreign(folder, entry,
                           own ? ", which is no plain file" : ", which the demo does not make");
        }
    }
    return "";
}

bool LiesIn(const fs::path& path, const fs::path& folder) {
    std::error_code error;
    const fs::path inner = fs::weakly_canonical(fs::absolute(path, error), error);
    const fs::path outer = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error) {
        return false;
    }
    auto a = inner.begin();
    for (auto b = outer.begin(); b != outer.end(); ++b) {
        if (b->empty()) {
            continue;  // the empty last part of a path that ends in "/"
        }
        if (a == inner.end() || *a != *b) {
            return false;
        }
        ++a;
    }
    return true;
}

}  // namespace zarvex::common
