#include "storage/folder_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "support/temp_folder.h"

namespace zarvex::storage {
namespace {

using namespace std::chrono_literals;

// Another thread contends as another program would: each FolderLock opens the file anew.
TEST(FolderLock, ASecondRunWaitsTellsWhyAndGetsTheLockOnceTheFirstIsDone) {
    const test::TempFolder db;
    auto first = std::make_unique<FolderLock>(db.Path(), [] {});
    ASSERT_EQ(first->GetState(), FolderLock::State::kHeld);
    auto other_thread = [&db](std::chrono::milliseconds wait, std::function<void()> between) {
        FolderLock::State state = FolderLock::State::kNoLock;
        std::thread([&] { state = FolderLock(db.Path(), between, wait).GetState(); }).join();
        return state;
    };
    int calls = 0;
    EXPECT_EQ(other_thread(100ms, [&calls] { ++calls; }), FolderLock::State::kTimedOut);
    EXPECT_GT(calls, 0);

    // A run inside the first one, on its thread, shares the hold rather than waiting for it.
    {
        const FolderLock nested(
            db.Path(), [] { FAIL() << "a nested run waited"; }, 0ms);
        EXPECT_EQ(nested.GetState(), FolderLock::State::kHeld);
    }
    EXPECT_EQ(other_thread(0ms, [] {}), FolderLock::State::kTimedOut);
    // A program that closes stops waiting at once, however long it would have waited.
    const auto closing = std::chrono::steady_clock::now();
    std::thread([&] {
        EXPECT_EQ(FolderLock(
                      db.Path(), [] {}, 10min, [] { return true; })
                      .GetState(),
                  FolderLock::State::kTimedOut);
    }).join();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 5s);

    calls = 0;
    std::thread release([&first] {
        std::this_thread::sleep_for(150ms);
        first.reset();
    });
    EXPECT_EQ(other_thread(10s, [&calls] { ++calls; }), FolderLock::State::kHeld);
    EXPECT_GT(calls, 0);
    release.join();
    EXPECT_EQ(FolderLock(db.Path(), [] {}).GetState(), FolderLock::State::kHeld);
}

TEST(FolderLock, WithoutTheFolderTheRunGoesOnUnguarded) {
    const test::TempFolder base;
    EXPECT_EQ(FolderLock(base / "DB", [] {}).GetState(), FolderLock::State::kNoLock);
    EXPECT_FALSE(std::filesystem::exists(base / "DB"));
}

}  // namespace
}  // namespace zarvex::storage
