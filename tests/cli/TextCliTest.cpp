// quiltara-cli text: the text tool's picture blended in at the point, across the edges.
#include "CliRunner.h"

#include "core/image/DIBSection2.h"
#include "core/image/FontRaster.h"
#include "core/paint/TextTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;
using test::RunCli;

TEST(TextCli, DrawsTheTextToolsPictureAndRefusesBadArguments) {
    if (FindFont({}).file.empty()) GTEST_SKIP() << "no font installed at all";
    test::TempFolder folder;
    const std::string in = folder.File("in.png"), out = folder.File("out.png");
    CDIBSection2 input;
    input.Create(40, 30, 32, true);
    input.FillOpaque(0xFFFFFF);
    ASSERT_TRUE(test::WritePngFile(in, input));

    // Near the bottom-right corner: the text continues at the top and the left.
    const auto r = RunCli("text " + in + " " + out +
                          " 30,22 'Hi' --size 12 --bold --color 102030 --shadow 1 --bevel");
    ASSERT_EQ(r.status, 0) << r.output;
    CTextSettings s;
    s.text = "Hi", s.fontName = "DejaVu Sans", s.size = 12, s.bold = true, s.bevel = true;
    s.color = MakeColorRef(0x10, 0x20, 0x30), s.shadow = true, s.shadowDistance = 1;
    const TextPicture text = RenderTextPicture(s);
    ASSERT_TRUE(text.ok);
    ASSERT_GT(text.picture.GetWidth(), 10);
    CDIBSection2 expected;
    expected.Copy(&input);
    BlendWrapped(expected, text.picture, 30, 22);
    CDIBSection2 written;
    ASSERT_TRUE(test::ReadPngFile(out, written));
    written.SetAlpha(255), expected.SetAlpha(255);
    EXPECT_TRUE(test::SamePixels(written, expected));
    EXPECT_NE(written.GetRow(0)[0], 0xFF); // the top-left corner was reached

    for (const std::string bad : {"1,1", "'1;1' x", "1,1 x --size 4000", "1,1 x --size 0",
                                  "1,1 x --color 12345", "1,1 x --shadow -1", "1,1 x --wobble"})
        EXPECT_NE(RunCli("text " + in + " " + out + " " + bad).status, 0) << bad;
    const auto missing = RunCli("text " + in + " " + out + " 0,0 x --font NoSuchFamilyAtAll");
    EXPECT_EQ(missing.status, 0);
    EXPECT_NE(missing.output.find("is not installed"), std::string::npos) << missing.output;
}
