// quiltara-cli plugin and extra: the sample plug-ins and Extras, and plug-ins that crash.
#include "CliRunner.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quiltara;
using test::RunCli;

namespace {

const std::string kPrograms = QUILTARA_PROGRAM_DIR;

TEST(PluginCli, FiltersAndExtrasThroughTheHelper) {
    test::TempFolder temp;
    CDIBSection2 picture, result;
    test::MakePatternPicture(picture, 64, 40);
    ASSERT_TRUE(test::WritePngFile(temp.File("in.png"), picture));
    ASSERT_TRUE(test::ReadPngFile(temp.File("in.png"), picture)); // as stored, opaque

    const std::string offset = kPrograms + "Plugins/OffsetHalf.8bf";
    EXPECT_NE(RunCli("plugins " + kPrograms + "Plugins/ChannelMixer.8bf").output.find("Warm Mix"),
              std::string::npos);
    ASSERT_EQ(
        RunCli("plugin " + temp.File("in.png") + " " + temp.File("once.png") + " " + offset).status,
        0);
    ASSERT_EQ(RunCli("plugin " + temp.File("once.png") + " " + temp.File("twice.png") + " " +
                     offset + " 'Offset by Half'")
                  .status,
              0);
    ASSERT_TRUE(test::ReadPngFile(temp.File("once.png"), result));
    EXPECT_FALSE(test::SamePixels(result, picture));
    ASSERT_TRUE(test::ReadPngFile(temp.File("twice.png"), result));
    EXPECT_TRUE(test::SamePixels(result, picture));

    const test::CliResult crash =
        RunCli("plugin " + temp.File("in.png") + " " + temp.File("crash.png") + " " +
               std::string(QUILTARA_TEST_PLUGIN_DIR) + "Crash.8bf");
    EXPECT_EQ(crash.status, 1);
    EXPECT_NE(crash.output.find("crashed"), std::string::npos) << crash.output;
    EXPECT_FALSE(std::filesystem::exists(temp.File("crash.png")));
    EXPECT_EQ(RunCli("plugin " + temp.File("in.png") + " " + temp.File("x.png") + " " + offset +
                     " Nothing")
                  .status,
              1);

    ASSERT_EQ(RunCli("extra " + temp.File("in.png") + " " + temp.File("big.png") + " " + kPrograms +
                     "Extras/Stretch300x200.xtr")
                  .status,
              0);
    ASSERT_TRUE(test::ReadPngFile(temp.File("big.png"), result));
    EXPECT_EQ(result.GetWidth(), 300);
    EXPECT_EQ(result.GetHeight(), 200);
}

} // namespace
