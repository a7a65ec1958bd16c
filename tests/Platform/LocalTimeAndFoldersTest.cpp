#include "Platform/FileSystem.h"
#include "Platform/Win32Time.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {

TEST(LocalTime, ComesFromTheClockUnlessReplaced) {
    const std::time_t before = std::time(nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_EQ(now.wYear, local.tm_year + 1900);
    EXPECT_EQ(now.wMonth, local.tm_mon + 1);
    EXPECT_GE(now.wDay, 1);
    EXPECT_LE(now.wDayOfWeek, 6);
    EXPECT_LT(now.wMilliseconds, 1000);

    SYSTEMTIME fixed;
    fixed.wYear = 1999;
    PlatSetLocalTimeSource([&] { return fixed; });
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 1999);
    PlatSetLocalTimeSource({});
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, local.tm_year + 1900);
}

TEST(FileSystem, CreateFoldersKeepsTheSpellingOnDisk) {
    TempGameRoot root;
    std::filesystem::create_directories("data");
    EXPECT_TRUE(PlatCreateFolders("DATA\\Saves\\deep"));
    EXPECT_TRUE(std::filesystem::is_directory("data/Saves/deep"));
    EXPECT_EQ(TempGameRoot::Listing("."), std::vector<std::string>{"data"});
    EXPECT_TRUE(PlatCreateFolders("data/saves"));
    root.WriteFile("file", "x");
    EXPECT_FALSE(PlatCreateFolders("file/below"));
}

} // namespace
