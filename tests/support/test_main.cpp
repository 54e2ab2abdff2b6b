#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Leaks inside system libraries that our code cannot free: fontconfig keeps its configuration
// for the life of the process once Qt has asked for a font. Read by LeakSanitizer in the
// sanitizer build; an unused function elsewhere.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Shared main of the test programs. Widget tests need the offscreen platform even when the
// test program runs outside CTest (test discovery at build time, or by hand).
// The user's configuration folder (data source, window state) is a fresh one of the test
// program: no test reads the developer's own settings or writes over them.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string config = (std::filesystem::temp_directory_path() / "zarvex-test-config-XXXXXX");
    const bool own_config = mkdtemp(config.data()) != nullptr;
    if (own_config) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    if (own_config) {
        std::error_code error;
        std::filesystem::remove_all(config, error);
    }
    return status;
}
