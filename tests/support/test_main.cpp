#include <gtest/gtest.h>

#include <cstdlib>

// Leaks inside system libraries that our code cannot free: fontconfig keeps its configuration
// for the life of the process once Qt has asked for a font. Read by LeakSanitizer in the
// sanitizer build; an unused function elsewhere.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// Shared main of the test programs. Widget tests need the offscreen platform even when the
// test program runs outside CTest (test discovery at build time, or by hand).
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
