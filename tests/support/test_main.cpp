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
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The user's configuration folder (alert rules, window state) of a test program is its own,
    // so that no test reads or changes the files of the person running it.
    const auto config =
        std::filesystem::temp_directory_path() / ("zarvex_test_config_" + std::to_string(getpid()));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return result;
}
