// The host library and the helper process with the sample plug-ins and Extras, and with
// plug-ins that crash or hang on purpose.
#include "core/plugins/PluginHost.h"
#include "core/plugins/ExtrasHost.h"
#include "core/plugins/PluginCatalog.h"
#include "core/plugins/PluginRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quiltara {
namespace {

const std::string kPrograms = QUILTARA_PROGRAM_DIR;
const std::string kTestPlugins = QUILTARA_TEST_PLUGIN_DIR;

class PluginHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("QUILTARA_APIH", (kPrograms + "libapih.so").c_str(), 1);
        setenv("QUILTARA_PLUGIN_RUNNER", (kPrograms + "quiltara-plugin-runner").c_str(), 1);
        setenv("QUILTARA_PLUGIN_TIMEOUT_MS", "700", 1);
    }
    static CPluginList Scan(const std::string& file) {
        static CPluginList* list;
        CPluginList found;
        list = &found;
        EXPECT_TRUE(CPluginHost::Instance().Available()) << CPluginHost::Instance().Error();
        CPluginHost::Instance().ScanPSPlugin(file.c_str(),
                                             [](const char* p, const char* c, const char* n) {
                                                 list->Accept(p, c, n);
                                                 return 0;
                                             });
        return found;
    }
};

TEST_F(PluginHost, ScansAndRunsTheSamples) {
    const CPluginList mixer = Scan(kPrograms + "Plugins/ChannelMixer.8bf");
    ASSERT_EQ(mixer.Entries().size(), 3u);
    EXPECT_EQ(mixer.Entries()[0].path, kPrograms + "Plugins/ChannelMixer.8bf#0");
    EXPECT_EQ(mixer.Entries()[0].category, "Channels");
    EXPECT_TRUE(Scan(kPrograms + "Plugins").Entries().empty()); // not a plug-in
    EXPECT_TRUE(Scan(kPrograms + "Extras/WarmTint.xtr").Entries().empty());

    // Offsetting by half twice is the identity on an even-sized tile, and once moves
    // pixel (0, 0) to the middle; the swap of red and blue undoes itself.
    CDIBSection2 picture, original;
    test::MakePatternPicture(picture, 64, 48);
    original.Copy(&picture);
    const std::string offset = Scan(kPrograms + "Plugins/OffsetHalf.8bf").Entries().at(0).path;
    ASSERT_EQ(RunPluginOnPicture(picture, offset, nullptr, nullptr, nullptr), kPluginOk);
    EXPECT_EQ(std::memcmp(picture.PixelAt(32, 24), original.PixelAt(0, 0), 4), 0);
    EXPECT_FALSE(test::SamePixels(picture, original));
    ASSERT_EQ(RunPluginOnPicture(picture, offset, nullptr, nullptr, nullptr), kPluginOk);
    EXPECT_TRUE(test::SamePixels(picture, original));
    ASSERT_EQ(RunPluginOnPicture(picture, mixer.Entries()[0].path, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(picture.PixelAt(5, 7)[0], original.PixelAt(5, 7)[2]);
    EXPECT_EQ(picture.PixelAt(5, 7)[3], original.PixelAt(5, 7)[3]);
    RunPluginOnPicture(picture, mixer.Entries()[0].path, nullptr, nullptr, nullptr);
    EXPECT_TRUE(test::SamePixels(picture, original));
}

TEST_F(PluginHost, NoiseIsSeamless) {
    // The noise lattice wraps: the step across the tile's edge is no larger than the
    // largest step inside it, on a flat grey tile.
    CDIBSection2 picture;
    picture.Create(96, 64, 32, true);
    picture.Fill(MakeColorRef(128, 128, 128));
    ASSERT_EQ(RunPluginOnPicture(picture, kPrograms + "Plugins/TileableNoise.8bf#0", nullptr,
                                 nullptr, nullptr),
              kPluginOk);
    int inside = 0, across = 0, distinct = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x + 1 < 96; ++x)
            inside =
                std::max(inside, std::abs(picture.PixelAt(x, y)[1] - picture.PixelAt(x + 1, y)[1]));
        across = std::max(across, std::abs(picture.PixelAt(95, y)[1] - picture.PixelAt(0, y)[1]));
        distinct += picture.PixelAt(0, y)[1] != 128;
    }
    EXPECT_GT(distinct, 0);
    EXPECT_LE(across, inside);
}

TEST_F(PluginHost, CrashHangCancelAndMissingLeaveThePictureAlone) {
    CDIBSection2 picture, original;
    test::MakePatternPicture(picture, 40, 30);
    original.Copy(&picture);
    struct Case {
        std::string path;
        PSAbortFn abort;
        int expected;
    };
    const Case cases[] = {
        {kTestPlugins + "Crash.8bf#0", nullptr, kPluginCrashed},
        {kTestPlugins + "Hang.8bf#0", nullptr, kPluginHung},
        {kTestPlugins + "Hang.8bf#0", [] { return 1; }, kPluginCancelled},
        {kTestPlugins + "Crash.8bf#7", nullptr, kPluginNotLoaded},
        {kPrograms + "Extras/WarmTint.xtr#0", nullptr, kPluginNotLoaded},
        {"/no/such/file.8bf#0", nullptr, kPluginNotLoaded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(RunPluginOnPicture(picture, c.path, c.abort, nullptr, nullptr), c.expected);
        EXPECT_TRUE(test::SamePixels(picture, original));
    }
    EXPECT_FALSE(PluginRunProblemText(kPluginCrashed).empty());
    EXPECT_FALSE(PluginRunProblemText(kPluginHung).empty());
}

TEST_F(PluginHost, ExtrasListRunAndResize) {
    test::TempFolder temp;
    namespace fs = std::filesystem;
    const std::string extras = temp.File("Extras/");
    fs::create_directories(extras + "Sub");
    fs::copy_file(kPrograms + "Extras/Stretch300x200.xtr", extras + "Stretch300x200.xtr");
    fs::copy_file(kPrograms + "Extras/WarmTint.xtr", extras + "WarmTint.xtr");
    fs::copy_file(kPrograms + "Extras/WarmTint.xtr", extras + "Sub/Hidden.xtr");
    for (const char* f : {"NoName.xtr", "CrashExtra.xtr", "NoRun.xtr"})
        fs::copy_file(kTestPlugins + f, extras + f);

    const std::vector<ExtrasEntry> listed = ListExtras(extras);
    std::vector<std::string> names;
    for (const ExtrasEntry& e : listed) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Crashing Extra", "Extra Without Start",
                                               "Stretch to 300 x 200", "Warm Tint"}));
    std::string description;
    EXPECT_TRUE(AskExtraText(extras + "WarmTint.xtr", true, description));
    EXPECT_FALSE(description.empty());
    EXPECT_FALSE(AskExtraText(extras + "NoRun.xtr", true, description));

    CDIBSection2 picture, original;
    test::MakePatternPicture(picture, 256, 256);
    original.Copy(&picture);
    auto run = [&](const std::string& file) {
        return RunExtra(extras + file, picture.GetBits(), 256, 256, &picture, {});
    };
    EXPECT_EQ(run("CrashExtra.xtr").status, ExtraRunResult::Crashed);
    EXPECT_EQ(run("NoRun.xtr").status, ExtraRunResult::MissingExports);
    EXPECT_EQ(run("Missing.xtr").status, ExtraRunResult::LoadFailed);
    EXPECT_TRUE(test::SamePixels(picture, original));

    ExtraRunResult warm = run("WarmTint.xtr");
    ASSERT_TRUE(ApplyExtraResult(picture, warm));
    EXPECT_EQ(picture.PixelAt(3, 3)[2], std::min(255, original.PixelAt(3, 3)[2] + 24));
    ExtraRunResult stretch = run("Stretch300x200.xtr");
    ASSERT_TRUE(ApplyExtraResult(picture, stretch));
    EXPECT_EQ(picture.GetWidth(), 300);
    EXPECT_EQ(picture.GetHeight(), 200);
}

} // namespace
} // namespace quiltara
