// The command-line tool names files as the program does: the same extension rule for
// pictures, and brushes from libraries (".brs") as well as single brush files (".br1").
#include "CliRunner.h"
#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"
#include "core/paint/BrushLibrary.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace quiltara;
using quiltara::test::RunCli;
using quiltara::test::TempFolder;

namespace {

std::string BuiltLibrary() {
    return (std::filesystem::path(QUILTARA_CLI).parent_path() / "Brushes/Brush/default.brs")
        .string();
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

TEST(CliFileRules, PicturesAreWrittenInTheFormatTheProgramGivesTheName) {
    TempFolder folder;
    CDIBSection2 picture;
    test::MakePatternPicture(picture, 12, 7);
    CNullProgress progress;
    ASSERT_TRUE(SavePictureFile(picture, folder.File("in.png"), 75, progress).ok);
    const struct {
        const char* name;
        int status; // of "rotate in.png NAME 180"
    } cases[] = {{"o.jpeg", 0}, {"o.JPG", 0}, {"o.tiff", 0}, {"o.Tif", 0},
                 {"o.tga", 0},  {"o.xyz", 1}, {"o", 1}};
    for (const auto& c : cases) {
        const std::string out = folder.File(c.name);
        const auto r = RunCli("rotate " + folder.File("in.png") + " " + out + " 180");
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.output;
        if (c.status != 0) {
            // The document's text for a name it cannot save, and no file.
            EXPECT_NE(r.output.find("Unknown extnsion\n" + out), std::string::npos) << r.output;
            EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
            continue;
        }
        // The file holds the format the program's save routine picks for the name.
        LoadedPicture back;
        ASSERT_EQ(LoadPictureFile(out, back), 0u) << c.name;
        EXPECT_EQ(back.formatCode, SaveFormatForPath(out)) << c.name;
        EXPECT_EQ(back.width, 12);
        EXPECT_EQ(back.height, 7);
    }
}

TEST(CliFileRules, BrushesListsLibrariesAndSingleBrushFiles) {
    TempFolder folder;
    CBrushLibrary library;
    ASSERT_TRUE(library.Load(BuiltLibrary()).ok);
    ASSERT_GT(library.Count(), 4);
    const CBrush& fifth = library.Brushes()[4];
    ASSERT_TRUE(ExportBrush(folder.File("one.br1"), fifth));
    ASSERT_TRUE(ExportBrush(folder.File("LOUD.BR1"), fifth));
    // A brush file cut in its first record.
    const std::vector<char> whole = ReadBytes(folder.File("one.br1"));
    ASSERT_GT(whole.size(), 12u);
    std::ofstream(folder.File("cut.br1"), std::ios::binary).write(whole.data(), 12);

    const std::vector<std::string> listed = Lines(RunCli("brushes " + BuiltLibrary()).output);
    ASSERT_EQ(int(listed.size()), library.Count());
    const struct {
        std::string file;
        int status;
        int brushes;         // lines listed
        int at;              // where the fifth brush of the library is listed
        std::string line;    // how
        const char* preview; // its preview
    } cases[] = {
        {BuiltLibrary(), 0, library.Count(), 4, listed[4], "004.png"},
        {folder.File("one.br1"), 0, 1, 0, "  0" + listed[4].substr(3), "000.png"},
        {folder.File("LOUD.BR1"), 0, 1, 0, "  0" + listed[4].substr(3), "000.png"},
        {folder.File("cut.br1"), 1, 0, 0, "", ""},
        {folder.File("missing.br1"), 1, 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        const std::string previews = folder.File("previews-" + std::to_string(&c - cases));
        const auto r = RunCli("brushes " + c.file + " --previews " + previews);
        EXPECT_EQ(r.status, c.status) << c.file << ": " << r.output;
        if (c.status != 0) {
            EXPECT_NE(r.output.find("cannot read the brush file " + c.file), std::string::npos)
                << r.output;
            continue;
        }
        const std::vector<std::string> lines = Lines(r.output);
        ASSERT_EQ(int(lines.size()), c.brushes) << c.file;
        EXPECT_EQ(lines[std::size_t(c.at)], c.line) << c.file;
        EXPECT_TRUE(std::filesystem::exists(previews + "/" + c.preview)) << c.file;
    }
}
