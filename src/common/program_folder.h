#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/date.h"

namespace zarvex::common {

// What the choice of the program folder looks at; FromEnvironment fills it from the process.
struct FolderSources {
    std::string zarvex_home;           // $ZARVEX_HOME
    std::filesystem::path executable;  // the folder of the running executable
    std::string xdg_data_home;         // $XDG_DATA_HOME
    std::string user_home;             // $HOME
};

// The program folder and the fixed layout inside it: INPUT/, OUTPUT/ and DB/. A folder given by
// $ZARVEX_HOME or --home, or found beside the executable, is used as it is: the program never
// creates its three folders there. Only the per-user folder of an installed program, which
// nobody prepares by hand, has them created by PrepareLayout.
class ProgramFolder final {
public:
    explicit ProgramFolder(std::filesystem::path root);

    // $ZARVEX_HOME when set and not empty; else the folder of the running executable when
    // INPUT/, OUTPUT/ and DB/ are there (the portable layout); else $XDG_DATA_HOME/zarvex, or
    // ~/.local/share/zarvex, since an installed program cannot write beside /usr/bin.
    static ProgramFolder FromEnvironment();
    static ProgramFolder Choose(const FolderSources& sources);

    // Creates INPUT/, OUTPUT/ and DB/ when this is the per-user folder; elsewhere does nothing.
    // False when a folder could not be created.
    bool PrepareLayout() const;
    bool IsPerUser() const { return per_user_; }

    const std::filesystem::path& Root() const { return root_; }
    // The root as text with a trailing '/', the form in which settings store folders.
    std::string RootText() const;

    std::filesystem::path Input() const { return root_ / "INPUT"; }
    std::filesystem::path Output() const { return root_ / "OUTPUT"; }
    std::filesystem::path Db() const { return root_ / "DB"; }

    // INPUT/CUR_yyyymmdd.TXT
    std::filesystem::path ReportFile(Date date) const;
    // INPUT/FP_yyyymmdd.TXT: one spelling everywhere, since the file system tells case.
    std::filesystem::path ForwardPointFile(Date date) const;

private:
    std::filesystem::path root_;
    bool per_user_ = false;
};

// Whether a file name is one of the databases the program keeps in DB/: <SYM>_config.lql,
// <SYM>_operation.lql, <SYM>_data.lql or the volatility store <SYM>_volatility.lql of the six
// symbols, or download.lql.
bool IsProgramDatabase(std::string_view name);

// The folder of the running executable (from /proc/self/exe), or the current folder when that
// cannot be read.
std::filesystem::path ExecutableFolder();

}  // namespace zarvex::common
