#include "core/paint/TextureSources.h"
#include "core/paint/PaintingContext.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace quiltara;

namespace {
void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}
} // namespace

TEST(TextureList, FiltersAndSortsTheFolder) {
    test::TempFolder folder;
    for (const char* name : {"b.PNG", "a.jpg", "No Texture.bmp", "Linear Gradient.tmb", "c.txt",
                             "Z.tga", "d.pcx", "e.gif", "f.tif", "g.bmp", "h.jpeg"})
        Touch(folder.File(name));
    std::filesystem::create_directory(folder.File("dir.png"));
    const std::vector<std::string> expected = {"No Texture.bmp", "a.jpg", "b.PNG",
                                               "d.pcx",          "e.gif", "f.tif",
                                               "g.bmp",          "Z.tga", "Custom Texture"};
    EXPECT_EQ(TextureListNames(folder.Path()), expected);
    EXPECT_EQ(TextureListNames(folder.File("missing/")),
              (std::vector<std::string>{"No Texture.bmp", "Custom Texture"}));
}

TEST(TextureList, CustomTextureSaveNameNeverOverwrites) {
    test::TempFolder folder;
    EXPECT_EQ(CustomTextureSavePath(folder.Path(), "MyTexture"), folder.File("MyTexture.png"));
    Touch(folder.File("MyTexture.png"));
    Touch(folder.File("MyTexture1.jpg"));
    EXPECT_EQ(CustomTextureSavePath(folder.Path(), "MyTexture"), folder.File("MyTexture2.png"));
    Touch(folder.File("Stone.jpg"));
    EXPECT_EQ(CustomTextureSavePath(folder.Path(), "Stone"), folder.File("Stone1.png"));
}

TEST(TextureBar, ApplyReadsTheControlsIntoTheContext) {
    test::TempFolder folder;
    CPaintingContext context;
    // "Custom Texture" before any Texture Pick leaves the flag as it was.
    CTextureBarState bar;
    bar.listIndex = 1;
    bar.entry = kCustomTextureEntry;
    ApplyTextureBar(bar, context, folder.Path());
    EXPECT_FALSE(context.textureDefined);

    test::MakePatternPicture(context.customTexture, 8, 6);
    bar.strength = 90;
    bar.screen = true;
    bar.foreBack = true;
    bar.align = false;
    bar.centre = true;
    bar.foreColor = MakeColorRef(1, 2, 3);
    bar.backColor = MakeColorRef(4, 5, 6);
    EXPECT_TRUE(ApplyTextureBar(bar, context, folder.Path())); // centre sampling changed
    EXPECT_TRUE(context.textureDefined);
    EXPECT_TRUE(test::SamePixels(context.texture, context.customTexture));
    EXPECT_EQ(context.textureStrength, 90);
    EXPECT_EQ(context.textureMode, 2);
    EXPECT_FALSE(context.textureAligned);
    EXPECT_EQ(context.foreColor, MakeColorRef(1, 2, 3));
    EXPECT_EQ(context.brush.color, MakeColorRef(1, 2, 3)); // the brush is recoloured
    EXPECT_EQ(context.backColor, MakeColorRef(4, 5, 6));
    EXPECT_FALSE(ApplyTextureBar(bar, context, folder.Path()));

    // "F-B" counts only with "Screen"; an unreadable file keeps the texture.
    bar.screen = false;
    bar.entry = "missing.png";
    ApplyTextureBar(bar, context, folder.Path());
    EXPECT_EQ(context.textureMode, 0);
    EXPECT_TRUE(context.textureDefined);
    EXPECT_EQ(context.texture.GetWidth(), 8);
    bar.screen = true;
    bar.foreBack = false;
    bar.listIndex = 0;
    ApplyTextureBar(bar, context, folder.Path());
    EXPECT_EQ(context.textureMode, 1);
    EXPECT_FALSE(context.textureDefined);
    EXPECT_EQ(context.Texture(), nullptr);
}
