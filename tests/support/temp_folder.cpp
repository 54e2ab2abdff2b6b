#include "support/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zarvex::test {

TempFolder::TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}

TempFolder::TempFolder(const std::filesystem::path& base) {
    static std::atomic<int> counter{0};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        auto candidate =
            base / ("zarvex-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

TempProgramFolder::TempProgramFolder()
    : TempProgramFolder(std::filesystem::temp_directory_path()) {}

TempProgramFolder::TempProgramFolder(const std::filesystem::path& base) : temp_(base) {
    for (const char* name : {"INPUT", "OUTPUT", "DB"}) {
        std::filesystem::create_directory(temp_.Path() / name);
    }
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path BinaryDir() {
    if (const char* dir = std::getenv("ZARVEX_TEST_BIN_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    return ZARVEX_BINARY_DIR;
}

std::filesystem::path MemoryTempBase() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

std::filesystem::path SourceDir() {
    return ZARVEX_SOURCE_DIR;
}

}  // namespace zarvex::test
