#include "storage/folder_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "support/temp_folder.h"

namespace zarvex::storage {
namespace {

using namespace std::chrono_literals;

// Each FolderLock opens the file anew, so two in one process contend as two programs would.
TEST(FolderLock, ASecondRunWaitsTellsWhyAndGetsTheLockOnceTheFirstIsDone) {
    const test::TempFolder db;
    int calls = 0;
    {
        const FolderLock first(db.Path(), [] {});
        ASSERT_EQ(first.GetState(), FolderLock::State::kHeld);
        const FolderLock refused(
            db.Path(), [&calls] { ++calls; }, 100ms);
        EXPECT_EQ(refused.GetState(), FolderLock::State::kTimedOut);
        EXPECT_GT(calls, 0);
    }
    std::thread holder;
    calls = 0;
    {
        auto first = std::make_unique<FolderLock>(db.Path(), [] {});
        holder = std::thread([&first] {
            std::this_thread::sleep_for(150ms);
            first.reset();
        });
        const FolderLock second(
            db.Path(), [&calls] { ++calls; }, 10s);
        EXPECT_EQ(second.GetState(), FolderLock::State::kHeld);
        EXPECT_GT(calls, 0);
        holder.join();
    }
    EXPECT_EQ(FolderLock(db.Path(), [] {}).GetState(), FolderLock::State::kHeld);
}

TEST(FolderLock, WithoutTheFolderTheRunGoesOnUnguarded) {
    const test::TempFolder base;
    EXPECT_EQ(FolderLock(base / "DB", [] {}).GetState(), FolderLock::State::kNoLock);
    EXPECT_FALSE(std::filesystem::exists(base / "DB"));
}

}  // namespace
}  // namespace zarvex::storage
