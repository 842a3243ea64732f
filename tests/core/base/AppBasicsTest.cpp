#include "core/base/AppSettings.h"
#include "core/base/Archive.h"
#include "core/base/ProgramFolders.h"
#include "core/base/SettingsStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace quiltara;

TEST(AppSettings, DefaultsComeFromTheTableAndStampsIsNeverRead) {
    CMemorySettingsStore store;
    store.SetString("GSettings", "Stamps", "mine.brs");
    CAppSettings s;
    s.undoLevels = 99;
    s.Load(store);
    EXPECT_EQ(s.undoLevels, 3);
    EXPECT_EQ(s.dpi, 96);
    EXPECT_EQ(s.printWidth, 600);
    EXPECT_EQ(s.brushNo, 4);
    EXPECT_EQ(s.hoseNo, 0);
    EXPECT_EQ(s.foreColor, 255u);
    EXPECT_EQ(s.backColor, 0u);
    EXPECT_EQ(s.stampLibrary, "default.brs");
    EXPECT_EQ(s.newWidth, 200);
}

TEST(AppSettings, SaveThenLoadKeepsEveryValue) {
    CMemorySettingsStore store;
    CAppSettings s;
    s.undoLevels = 7;
    s.penLibrary = "inks.brs";
    s.foreColor = MakeColorRef(1, 2, 3);
    s.newHeight = 321;
    s.documentPath = "/pictures";
    s.Save(store, "/opt/quiltara");
    EXPECT_EQ(store.GetString("App", "home", ""), "/opt/quiltara/");
    EXPECT_TRUE(store.Has("GSettings", "Stamps"));
    CAppSettings back;
    back.Load(store);
    EXPECT_EQ(back.undoLevels, 7);
    EXPECT_EQ(back.penLibrary, "inks.brs");
    EXPECT_EQ(back.foreColor, MakeColorRef(1, 2, 3));
    EXPECT_EQ(back.newHeight, 321);
    EXPECT_EQ(back.documentPath, "/pictures");
}

TEST(Archive, StringLengthPrefixesAtTheirBoundaries) {
    for (std::size_t n : {0u, 254u, 255u, 0xFFFDu, 0xFFFEu, 70000u}) {
        CArchiveWriter w;
        w.WriteString(std::string(n, 'x'));
        const std::size_t prefix = n < 255 ? 1 : n < 0xFFFE ? 3 : 7;
        EXPECT_EQ(w.Bytes().size(), prefix + n) << n;
        CArchiveReader r(w.Bytes());
        EXPECT_EQ(r.ReadString().size(), n);
        EXPECT_TRUE(r.Ok());
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(Archive, ReadingPastTheEndFailsForGood) {
    CArchiveWriter w;
    w.WriteUInt8(0xFF);
    w.WriteUInt16(0xFFFF);
    w.WriteUInt32(0x7FFFFFFF); // a string far longer than the buffer
    CArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.ReadInt32(), 0);
    EXPECT_DOUBLE_EQ(r.ReadDouble(), 0.0);
}

TEST(Archive, AtomicWriteKeepsOldFileWhenTheFolderIsGone) {
    test::TempFolder folder;
    const std::string path = folder.File("a.bin");
    ASSERT_TRUE(WriteFileAtomically(path, "new", 3));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
    EXPECT_FALSE(WriteFileAtomically(folder.File("no/such/dir.bin"), "x", 1));
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}

TEST(ProgramFolders, FolderSetAndSwapFileCleanup) {
    test::TempFolder folder;
    const CProgramFolders f = CProgramFolders::FromProgramFolder("/opt/q");
    EXPECT_EQ(f.program, "/opt/q/");
    EXPECT_EQ(f.naturalTool, "/opt/q/Brushes/Natural/");
    EXPECT_EQ(f.textures, "/opt/q/Textures/");

    std::ofstream(folder.File("tmp01234.tmp")) << "x";
    std::ofstream(folder.File("und88888.tmp")) << "x";
    std::ofstream(folder.File("keep.png")) << "x";
    std::filesystem::create_directory(folder.File("dir.tmp"));
    EXPECT_EQ(DeleteSwapFiles(folder.Path()), 2);
    EXPECT_TRUE(std::filesystem::exists(folder.File("keep.png")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("dir.tmp")));
    EXPECT_EQ(DeleteSwapFiles(folder.Path() + "missing"), 0);

    EXPECT_TRUE(EnsureProgramFolders(CProgramFolders::FromProgramFolder(folder.Path())));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Brushes/Nozzle")));
}
