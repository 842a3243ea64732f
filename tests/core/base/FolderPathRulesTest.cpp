// The folder picker's rules for typed folders, checked and created.
#include "core/base/FolderPathRules.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quiltara {
namespace {

TEST(FolderPathRules, CheckAndCreate) {
    test::TempFolder temp;
    const std::string base = temp.Path().substr(0, temp.Path().size() - 1); // no trailing "/"
    struct Case {
        std::string path;
        int check;
    };
    const Case cases[] = {
        {"", kFolderInvalid},
        {"relative/path", kFolderInvalid},
        {"/", kFolderUsable},
        {base, kFolderUsable},
        {base + "/Images/", kFolderInvalid},      // trailing "/"
        {base + "/ lead", kFolderInvalid},        // leading blank
        {base + "/trail.", kFolderInvalid},       // trailing dot
        {base + "/a\tb/.hidden", kFolderInvalid}, // second level starts with "."
        {base + "/what?", kFolderInvalid},
        {base + "//double", kFolderInvalid}, // an empty level
        {base + "/New Folder/Sub", kFolderUsable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CheckFolderPath(c.path, false), c.check);
    }
    // Checking creates nothing; creating makes both missing levels at once.
    EXPECT_FALSE(std::filesystem::exists(base + "/New Folder"));
    EXPECT_EQ(CheckFolderPath(base + "/New Folder/Sub", true), kFolderUsable);
    EXPECT_TRUE(std::filesystem::is_directory(base + "/New Folder/Sub"));
    // A level that is a file cannot become a folder.
    { std::ofstream(base + "/file") << "x"; }
    EXPECT_EQ(CheckFolderPath(base + "/file/sub", true), kFolderCannotCreate);
    EXPECT_EQ(FolderInvalidText("/x"), "The folder:\n\n/x\n\nis invalid. Please reenter.");
}

} // namespace
} // namespace quiltara
