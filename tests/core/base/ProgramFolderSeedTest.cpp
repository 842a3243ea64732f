#include "core/base/ProgramFolders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace quiltara;
namespace fs = std::filesystem;

namespace {
void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}
std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

// The installed data, laid out as the build tree and /usr/share/quiltara hold it.
class SeedProgramFolderTest : public ::testing::Test {
protected:
    test::TempFolder root;
    fs::path data = root.File("data"), user = root.File("user");

    void SetUp() override {
        Write(data / "Help/index.html", "<html>help</html>");
        Write(data / "Help/hlpfile1.png", "picture one");
        Write(data / "Brushes/Brush/default.brs", "brushes");
        Write(data / "Brushes/Pen/default.brs", "pens");
        Write(data / "Samples/Brick.png", "brick");
        Write(data / "Textures/.gitkeep", "");
        Write(data / "Swatches/.gitkeep", "");
        Write(data / "Plugins/.gitkeep", "");
        Write(data / "Extras/.gitkeep", "");
        Write(data / "quiltara", "the executable");
        Write(data / "Quiltara.ini", "[Settings]");
        fs::create_directories(user);
    }
};

TEST_F(SeedProgramFolderTest, FreshFolderGetsEveryDataFileAndNothingElse) {
    EXPECT_EQ(SeedProgramFolder(data.string(), user.string()), 5);
    EXPECT_EQ(Read(user / "Help/hlpfile1.png"), "picture one");
    EXPECT_EQ(Read(user / "Brushes/Pen/default.brs"), "pens");
    for (const char* folder : kSeededDataFolders) EXPECT_TRUE(fs::is_directory(user / folder));
    EXPECT_FALSE(fs::exists(user / "quiltara"));
    EXPECT_FALSE(fs::exists(user / "Quiltara.ini"));
    EXPECT_FALSE(fs::exists(user / "Textures/.gitkeep"));
    // Seeded once, nothing more to do.
    EXPECT_EQ(SeedProgramFolder(data.string(), user.string()), 0);
}

TEST_F(SeedProgramFolderTest, IncompleteFolderIsFilledAndTheUsersFilesAreKept) {
    Write(user / "Help/index.html", "my own notes");
    Write(user / "Brushes/Brush/default.brs", "my brushes");
    Write(user / "Samples/Mine.png", "mine");
    Write(user / "Brushes/Pen/default.brs.part", "half a copy from an earlier start");
    Write(user / "Swatches", "a file where a folder belongs");

    EXPECT_EQ(SeedProgramFolder(data.string() + "/", user.string()), 3);
    EXPECT_EQ(Read(user / "Help/index.html"), "my own notes");
    EXPECT_EQ(Read(user / "Brushes/Brush/default.brs"), "my brushes");
    EXPECT_EQ(Read(user / "Samples/Mine.png"), "mine");
    EXPECT_EQ(Read(user / "Help/hlpfile1.png"), "picture one");
    EXPECT_EQ(Read(user / "Brushes/Pen/default.brs"), "pens");
    EXPECT_FALSE(fs::exists(user / "Brushes/Pen/default.brs.part"));
    EXPECT_EQ(Read(user / "Samples/Brick.png"), "brick");
    EXPECT_EQ(Read(user / "Swatches"), "a file where a folder belongs");
}

TEST_F(SeedProgramFolderTest, LinksAndTheFolderItselfAreNotCopied) {
    fs::create_symlink("/etc/passwd", data / "Help/passwd.html");
    fs::create_directory_symlink("/etc", data / "Samples/etc");
    EXPECT_EQ(SeedProgramFolder(data.string(), data.string()), 0);
    EXPECT_EQ(SeedProgramFolder(data.string(), user.string()), 5);
    EXPECT_FALSE(fs::exists(fs::symlink_status(user / "Help/passwd.html")));
    EXPECT_FALSE(fs::exists(user / "Samples/etc"));
    EXPECT_EQ(SeedProgramFolder(root.File("missing"), user.string()), 0);
}
