#pragma once

#include <filesystem>
#include <string>

#include "common/date.h"

namespace zarvex::common {

// The program folder and the fixed layout inside it: INPUT/, OUTPUT/ and DB/. The program
// never creates these folders; it only builds names inside them.
class ProgramFolder final {
public:
    explicit ProgramFolder(std::filesystem::path root);

    // $ZARVEX_HOME when set and not empty, else the folder of the running executable.
    static ProgramFolder FromEnvironment();

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
};

// The folder of the running executable (from /proc/self/exe), or the current folder when that
// cannot be read.
std::filesystem::path ExecutableFolder();

}  // namespace zarvex::common
