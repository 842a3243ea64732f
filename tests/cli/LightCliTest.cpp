// quiltara-cli light: the same pixels as the renderer, and refusals of bad arguments.
#include "CliRunner.h"

#include "core/base/ProgressReporter.h"
#include "core/filters/LightEffects.h"
#include "core/image/DIBSection2.h"
#include "core/image/ImageFileRoutines.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;
using test::RunCli;

TEST(LightCli, PaintsWhatTheRendererPaintsAndRefusesBadArguments) {
    test::TempFolder folder;
    const std::string in = folder.File("in.png"), out = folder.File("out.png");
    CDIBSection2 input;
    test::MakePatternPicture(input, 30, 20, 9);
    input.SetAlpha(255);
    ASSERT_TRUE(test::WritePngFile(in, input));

    struct Case {
        std::string args;
        LightKind tool;
        int x0, y0, x1, y1, strength;
    };
    for (const Case& c :
         {Case{"flare 28,3 20,9", LightKind::LensFlare, 28, 3, 20, 9, 255},
          Case{"sparkle 2,18 9,18 --strength 100", LightKind::Sparkle, 2, 18, 9, 18, 100}}) {
        const auto r = RunCli("light " + in + " " + out + " " + c.args);
        ASSERT_EQ(r.status, 0) << c.args << ": " << r.output;
        CDIBSection2 expected;
        expected.Copy(&input);
        CNullProgress progress;
        ASSERT_EQ(RenderLightDrag(expected.GetBits(), 30, 20, c.tool, c.x0, c.y0, c.x1, c.y1,
                                  c.strength, progress),
                  LightDragResult::Done);
        LoadedPicture loaded;
        ASSERT_EQ(LoadPictureFile(out, loaded), 0);
        CDIBSection2 written;
        written.ImportRGB(loaded.rgb.data(), loaded.width, loaded.height, 255);
        EXPECT_TRUE(test::SamePixels(written, expected)) << c.args;
        EXPECT_FALSE(test::SamePixels(written, input)) << c.args;
    }
    for (const std::string bad : {"glow 1,1 5,5", "flare 1,1", "flare 1;1 5,5", "flare 1,1 90,5",
                                  "sparkle 1,1 5,5 --strength 256"})
        EXPECT_NE(RunCli("light " + in + " " + out + " " + bad).status, 0) << bad;
}
