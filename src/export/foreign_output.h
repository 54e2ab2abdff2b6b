#pragma once

#include <filesystem>
#include <string_view>

#include "common/program_folder.h"

namespace zarvex::exporting {

// The program folder whose OUTPUT/ the output folder setting names, when that is another
// program folder than this one: the parent of an OUTPUT/ whose DB/ holds the program's
// databases. Empty when the setting names this folder's own OUTPUT/ or any other folder.
//
// The setting is stored as an absolute path, so a program folder copied or moved elsewhere
// still names the OUTPUT/ of the folder it came from; writing there would mix two folders'
// days without a word. A plain folder of the user's choice is never taken for one.
std::filesystem::path ForeignProgramFolder(const common::ProgramFolder& folder,
                                           std::string_view output_folder);

}  // namespace zarvex::exporting
