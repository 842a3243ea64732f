// The plug-in list's acceptance rules, the two cache files and the folder rules.
#include "core/plugins/PluginCatalog.h"
#include "core/plugins/PluginFolders.h"
#include "core/plugins/PluginSearch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quiltara {
namespace {

TEST(PluginList, ScanCallbackRules) {
    struct Report {
        const char *category, *name;
        bool added;
        const char* shown; // the menu text when added
    };
    const Report reports[] = {
        {"Blur", "Soft", true, "Soft"},
        {"Blur", "Soft", false, nullptr},       // same name and category: listed once
        {"Sharpen", "Soft", true, "Soft"},      // same name, other category: listed again
        {"  Blur", "\tSofter", true, "Softer"}, // leading white space goes
        {"Tile", "x", true, "Tile"},            // one character: the category
        {"Tile", "\x05Odd", true, "Tile"},      // a control character first: the category
        {"", "Name", false, nullptr},
        {"Cat", "   ", false, nullptr},
    };
    CPluginList list;
    std::size_t expected = 0;
    for (const Report& r : reports) {
        SCOPED_TRACE(std::string(r.category) + " > " + r.name);
        EXPECT_EQ(list.Accept("/p/f.8bf#0", r.category, r.name), r.added);
        if (!r.added) continue;
        ++expected;
        ASSERT_EQ(list.Entries().size(), expected);
        EXPECT_EQ(list.Entries().back().name, r.shown);
        EXPECT_EQ(list.FoundLine(), "Found (" + std::to_string(expected) + ") " +
                                        list.Entries().back().category + " > " + r.shown);
    }
}

TEST(PluginList, CommandIdsStopAt31999) {
    CPluginList list;
    for (int i = 0; i < 2100; ++i) list.Accept("/f.8bf", "C", "Filter " + std::to_string(i));
    EXPECT_EQ(list.AssignCommandIds(), 2000);
    EXPECT_EQ(list.Entries()[0].commandId, kPluginFirstId);
    EXPECT_EQ(list.Entries()[1999].commandId, kPluginLastId);
    EXPECT_EQ(list.Entries()[2000].commandId, 0);
    EXPECT_EQ(list.FindById(kPluginLastId)->name, "Filter 1999");
    EXPECT_EQ(list.FindById(0), nullptr);

    std::vector<ExtrasEntry> extras(800, ExtrasEntry{"/x.xtr", "X", 0});
    EXPECT_EQ(AssignExtrasCommandIds(extras), 701);
    EXPECT_EQ(extras[700].commandId, kExtrasLastId);
    EXPECT_EQ(extras[701].commandId, 0);
}

TEST(PluginCaches, RoundTripAndEveryTruncationFailsCleanly) {
    CPluginList list;
    list.Accept("/a/one.8bf#0", "Blur", "Soft");
    list.Accept("/a/one.8bf#1", "Tile", "z");
    list.Accept(std::string(300, 'p'), "Long", std::string(70000, 'n')); // 16- and 32-bit lengths
    const std::vector<std::string> folders{"/a/", "/home/u/Plug Ins/"};
    CArchiveWriter ar;
    WritePluginsLib(ar, folders, list.Entries());
    const std::vector<std::uint8_t>& bytes = ar.Bytes();

    std::vector<std::string> readFolders;
    CPluginList read;
    ASSERT_TRUE(ReadPluginsLib(bytes.data(), bytes.size(), readFolders, read));
    EXPECT_EQ(readFolders, folders);
    ASSERT_EQ(read.Entries().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.Entries()[i].path, list.Entries()[i].path);
        EXPECT_EQ(read.Entries()[i].name, list.Entries()[i].name);
        EXPECT_EQ(read.Entries()[i].commandId, 0);
    }
    CArchiveWriter again;
    WritePluginsLib(again, readFolders, read.Entries());
    EXPECT_EQ(again.Bytes(), bytes);

    for (std::size_t cut = 0; cut < bytes.size(); cut += (cut < 400 ? 1 : 997))
        EXPECT_FALSE(ReadPluginsLib(bytes.data(), cut, readFolders, read)) << cut;

    std::vector<ExtrasEntry> extras{{"/old/place/Extras/resize.xtr", "Resize", 32000},
                                    {"/old/place/Extras/tint.xtr", "Tint", 32001}};
    CArchiveWriter xa;
    WriteExtrasLib(xa, extras);
    std::vector<ExtrasEntry> readExtras;
    ASSERT_TRUE(ReadExtrasLib(xa.Bytes().data(), xa.Bytes().size(), "/new/Extras/", readExtras));
    ASSERT_EQ(readExtras.size(), 2u);
    EXPECT_EQ(readExtras[1].path, "/new/Extras/tint.xtr"); // the program folder moved
    EXPECT_EQ(readExtras[1].name, "Tint");
    EXPECT_EQ(readExtras[1].commandId, 0);
    for (std::size_t cut = 0; cut < xa.Bytes().size(); ++cut)
        EXPECT_FALSE(ReadExtrasLib(xa.Bytes().data(), cut, "/e/", readExtras)) << cut;
}

TEST(PluginCaches, HostileContent) {
    // A huge count with nothing behind it is refused before anything is reserved.
    const std::uint8_t hugeCount[] = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0};
    std::vector<std::string> folders;
    CPluginList list;
    EXPECT_FALSE(ReadPluginsLib(hugeCount, sizeof hugeCount, folders, list));
    std::vector<ExtrasEntry> extras;
    EXPECT_FALSE(ReadExtrasLib(hugeCount, sizeof hugeCount, "/e/", extras));

    // Stored Extras names that would leave the Extras folder are dropped.
    CArchiveWriter ar;
    ar.WriteInt32(4);
    for (const char* s : {"../evil.xtr", "A", "..", "B", "ok.xtr", "C", "no-name.xtr", ""})
        ar.WriteString(s);
    ar.WriteInt32(-1);
    ASSERT_TRUE(ReadExtrasLib(ar.Bytes().data(), ar.Bytes().size(), "/e/", extras));
    ASSERT_EQ(extras.size(), 1u);
    EXPECT_EQ(extras[0].path, "/e/ok.xtr");
}

TEST(PluginFolders, NamesPatternsAndLists) {
    struct FileCase {
        const char* name;
        bool offered;
    };
    for (const FileCase& c : {FileCase{"blur.8bf", true},
                              {"a.8bf.bak", true},
                              {"FILTER.8BF", false},
                              {".8bf", false},
                              {"x.8BF", false}})
        EXPECT_EQ(IsPluginFileName(c.name), c.offered) << c.name;
    EXPECT_EQ(PluginFilePart("/p/a.8bf#2"), "/p/a.8bf");
    EXPECT_EQ(PluginFilePart("#2"), "#2");

    std::string sixty(60, 'd');
    sixty.replace(56, 4, "/*.*");
    ASSERT_EQ(sixty.size(), 60u);
    std::string shown = "...";
    shown.append(sixty, 20);
    EXPECT_EQ(SearchPatternLine(sixty), shown);
    EXPECT_EQ(SearchPatternLine(std::string(40, 'e')), std::string(40, 'e'));

    std::vector<std::string> folders{"/home/u/plugins"};
    EXPECT_FALSE(AddFolderIgnoringCase(folders, "/HOME/U/Plugins"));
    EXPECT_TRUE(AddFolderIgnoringCase(folders, "/opt/p"));
    EXPECT_TRUE(RemoveFolderIgnoringCase(folders, "/Home/U/PLUGINS"));
    EXPECT_EQ(folders, std::vector<std::string>{"/opt/p"});
}

TEST(PluginFolders, NestingRuleInEitherOrder) {
    const std::vector<std::string> paths{"/A/B/x.8bf#0", "/A/y.8bf#0"};
    EXPECT_EQ(FoldersFromPaths(paths), std::vector<std::string>{"/A/"});
    EXPECT_EQ(FoldersFromPaths({paths[1], paths[0]}), std::vector<std::string>{"/A/"});

    // A new outer folder removes every listed folder inside it, wherever they stand.
    std::vector<std::string> folders{"/a/b/", "/z/", "/A/c", "", "/ab/"};
    EXPECT_TRUE(AddFolderNested(folders, "/a"));
    EXPECT_EQ(folders, (std::vector<std::string>{"/z/", "", "/ab/", "/a"}));
    EXPECT_FALSE(AddFolderNested(folders, "/Z/deeper/"));
}

class RecordingWindow : public IPluginSearchWindow {
public:
    bool ShowPattern(const std::string& line) override {
        patterns.push_back(line);
        return cancelAt > 0 && int(patterns.size()) >= cancelAt;
    }
    void ShowFound(const std::string& line) override { found.push_back(line); }
    std::vector<std::string> patterns, found;
    int cancelAt = 0;
};

TEST(PluginSearch, RecursiveCaseSensitiveAndCancellable) {
    test::TempFolder temp;
    namespace fs = std::filesystem;
    fs::create_directories(temp.File("p/sub/deeper"));
    for (const char* f :
         {"p/FILTER.8BF", "p/a.8bf.bak", "p/sub/b.8bf", "p/sub/deeper/c.8bf", "p/readme.txt"})
        std::ofstream(temp.File(f)) << "x";
    fs::create_directory_symlink(temp.File("p"), temp.File("p/sub/loop"));

    std::vector<std::string> offered;
    RecordingWindow window;
    CPluginSearch search(
        [&](const std::string& path) {
            offered.push_back(path.substr(temp.Path().size()));
            return true;
        },
        [] { return std::string("found"); }, &window);
    search.SearchFolder(temp.File("p"));
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered,
              (std::vector<std::string>{"p/a.8bf.bak", "p/sub/b.8bf", "p/sub/deeper/c.8bf"}));
    EXPECT_EQ(window.found.size(), 3u);
    EXPECT_EQ(window.patterns.size(), 3u); // p, sub, deeper: the link is not followed
    EXPECT_FALSE(search.Cancelled());

    offered.clear();
    RecordingWindow cancelling;
    cancelling.cancelAt = 2;
    CPluginSearch stopped([&](const std::string& path) { return offered.push_back(path), false; },
                          [] { return std::string(); }, &cancelling);
    stopped.SearchFolder(temp.File("p"));
    EXPECT_TRUE(stopped.Cancelled());
    EXPECT_EQ(cancelling.patterns.size(), 2u);
}

} // namespace
} // namespace quiltara

namespace quiltara {
namespace {

TEST(PluginFolders, LocalMountPointsOfTheDriveSearch) {
    const std::string table = "/dev/sda1 / ext4 rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "tmpfs /run tmpfs rw 0 0\n"
                              "/dev/sdb1 /mnt/My\\040Disk vfat rw 0 0\n"
                              "server:/x /net nfs4 rw 0 0\n"
                              "/dev/sda1 / ext4 rw 0 0\n"
                              "short line\n"
                              "/dev/sdc1 /data xfs rw 0 0";
    EXPECT_EQ(LocalMountPoints(table), (std::vector<std::string>{"/", "/mnt/My Disk/", "/data/"}));
}

} // namespace
} // namespace quiltara
