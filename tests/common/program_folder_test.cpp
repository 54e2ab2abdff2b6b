#include "common/program_folder.h"

#include <gtest/gtest.h>

#include "common/config_folder.h"
#include "support/temp_folder.h"

namespace zarvex::common {
namespace {

using test::TempFolder;

void MakeLayout(const std::filesystem::path& folder) {
    for (const char* name : {"INPUT", "OUTPUT", "DB"}) {
        std::filesystem::create_directories(folder / name);
    }
}

TEST(ProgramFolderChoice, ZarvexHomeWinsAndIsNeverCreated) {
    TempFolder exe;
    MakeLayout(exe.Path());
    const ProgramFolder folder = ProgramFolder::Choose({"/nowhere/z", exe.Path(), "", "/home/u"});
    EXPECT_EQ(folder.Root(), "/nowhere/z");
    EXPECT_FALSE(folder.IsPerUser());
    EXPECT_TRUE(folder.PrepareLayout());
    EXPECT_FALSE(std::filesystem::exists("/nowhere/z"));
}

TEST(ProgramFolderChoice, PortableOnlyWithAllThreeFolders) {
    TempFolder exe;
    TempFolder data;
    std::filesystem::create_directories(exe / "INPUT");
    std::filesystem::create_directories(exe / "DB");
    const FolderSources sources{"", exe.Path(), data.Path().string(), "/home/u"};
    EXPECT_EQ(ProgramFolder::Choose(sources).Root(), data / "zarvex");

    std::filesystem::create_directories(exe / "OUTPUT");
    const ProgramFolder portable = ProgramFolder::Choose(sources);
    EXPECT_EQ(portable.Root(), exe.Path());
    EXPECT_FALSE(portable.IsPerUser());
}

TEST(ProgramFolderChoice, InstalledProgramCreatesItsPerUserFolder) {
    TempFolder exe;  // like /usr/bin: no layout beside the program
    TempFolder user;
    // Without $XDG_DATA_HOME, or with a relative one (invalid), the default under $HOME.
    for (const std::string xdg : {"", "relative/data"}) {
        const ProgramFolder folder = ProgramFolder::Choose({"", exe.Path(), xdg, user.Path()});
        EXPECT_EQ(folder.Root(), user / ".local/share/zarvex") << xdg;
    }
    const ProgramFolder folder = ProgramFolder::Choose({"", exe.Path(), "", user.Path()});
    ASSERT_TRUE(folder.IsPerUser());
    ASSERT_TRUE(folder.PrepareLayout());
    EXPECT_TRUE(std::filesystem::is_directory(folder.Input()));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Output()));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Db()));
    EXPECT_TRUE(folder.PrepareLayout());  // a second start finds them
}

TEST(UserConfigFolder, FollowsTheBaseDirectoryRules) {
    EXPECT_EQ(UserConfigFolder("/x/conf", "/home/u"), std::filesystem::path("/x/conf/zarvex"));
    // Unset or relative (invalid): the default under $HOME.
    for (const std::string xdg : {"", "relative/conf"}) {
        EXPECT_EQ(UserConfigFolder(xdg, "/home/u"), std::filesystem::path("/home/u/.config/zarvex"))
            << xdg;
    }
    TempFolder user;
    const auto folder = UserConfigFolder("", user.Path());
    ASSERT_TRUE(PrepareUserConfigFolder(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(PrepareUserConfigFolder(folder));
}

}  // namespace
}  // namespace zarvex::common
