#include "core/base/FileDialogFilter.h"
#include "core/base/MemoryStatus.h"
#include "core/image/ImageFileRoutines.h"

#include <gtest/gtest.h>

using namespace quiltara;

TEST(FileDialogFilter, OpenDialogFilterSplitsIntoItsEntries) {
    const auto entries = ParseFileFilter(kOpenDialogFilter);
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries[0].description, "Image Files (png,jpg,bmp,pcx,tga,tif,psd)");
    ASSERT_EQ(entries[0].patterns.size(), 7u);
    EXPECT_EQ(entries[0].patterns[6], "*PSD"); // kept as the program has always had it
    EXPECT_EQ(entries[10].description, "All files (*.*)");
    EXPECT_EQ(entries[10].patterns[0], "*.*");
}

TEST(FileDialogFilter, MalformedStringsGiveWhatIsThere) {
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("||").empty());
    const auto odd = ParseFileFilter("Only a description|");
    EXPECT_TRUE(odd.empty());
    const auto one = ParseFileFilter("PNG|*.png");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].patterns[0], "*.png");
    EXPECT_EQ(DefaultNamePatterns("*.Png;*.Jpg").size(), 2u);
    EXPECT_TRUE(DefaultNamePatterns("picture.png").empty());
}

TEST(MemoryStatus, PaneTextDividesBy1024) {
    EXPECT_EQ(FormatMemoryText(123456789), "Mem:120563 KB");
    EXPECT_EQ(FormatMemoryText(0), "Mem:0 KB");
}
