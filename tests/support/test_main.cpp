#include <gtest/gtest.h>

#include <cstdlib>

// Shared main of the test programs. Widget tests need the offscreen platform even when the
// test program runs outside CTest (test discovery at build time, or by hand).
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
