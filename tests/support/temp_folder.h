#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/program_folder.h"

namespace zarvex::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TempFolder final {
public:
    TempFolder();
    // Under base instead (e.g. a memory file system for tests that write a lot).
    explicit TempFolder(const std::filesystem::path& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A temporary program folder with INPUT/, OUTPUT/ and DB/ made in it.
class TempProgramFolder final {
public:
    TempProgramFolder();
    explicit TempProgramFolder(const std::filesystem::path& base);
    const std::filesystem::path& Path() const { return temp_.Path(); }
    common::ProgramFolder Folder() const { return common::ProgramFolder(temp_.Path()); }

private:
    TempFolder temp_;
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

// Folder of the built programs (zarvex-cli, the tools), for tests that run them.
std::filesystem::path BinaryDir();
// /dev/shm when the machine has it (no disk syncs there), else the temporary folder.
std::filesystem::path MemoryTempBase();
std::filesystem::path SourceDir();

}  // namespace zarvex::test
