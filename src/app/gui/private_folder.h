#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace zarvex::gui {

// A folder that only the user can reach, for what other users must not take or see (the
// socket of the running window). First $XDG_RUNTIME_DIR, when it is fit under the base
// directory rules: an absolute path to a folder (not a link) owned by the user with no access
// for group or others. Else a folder of the user's own under temp, zarvex-<uid>, made 0700 when
// missing and set to 0700 when it is the user's with a wider mode; one that is a link, no
// folder or somebody else's is never used, and zarvex-<uid>-1 ... -9 are tried in its place, so
// that another user who made the name first cannot keep the program from its own. Empty when
// none is fit.
std::filesystem::path PrivateFolder(uid_t user, std::string_view runtime_dir,
                                    const std::filesystem::path& temp);

// The temporary folder: $TMPDIR when it is an absolute path, else /tmp.
std::filesystem::path TemporaryFolder();

}  // namespace zarvex::gui
