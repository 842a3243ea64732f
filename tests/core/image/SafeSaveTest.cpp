// Saving never does what cp would refuse, and a failed save leaves nothing behind.
#include "CodecTestHelpers.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// Saves a w x h BMP (54 + w x h x 3 bytes with w a multiple of 4) to path.
unsigned SaveBmp(const std::string& path, int w, int h) {
    CImageFileBuffer buffer;
    if (buffer.Allocate(w, h) != 0) return kErrOutOfMemory;
    return buffer.Save(path, kFormatBMP);
}

std::size_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? std::size_t(st.st_size) : 0;
}

// The names in a folder.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SafeSave, LinksStayLinksPermissionsStayAndReadOnlyFilesStay) {
    TempFolder folder;
    const std::string file = folder.File("a.bmp");
    const std::size_t small = 54 + 4 * 4 * 3, large = 54 + 8 * 8 * 3;
    ASSERT_EQ(SaveBmp(file, 4, 4), kErrNone);

    // Permissions are kept.
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(SaveBmp(file, 8, 8), kErrNone);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FileSize(file), large);

    // A symbolic link (relative) stays a link and its target gets the picture; so
    // does a link whose target does not exist yet.
    ASSERT_EQ(::symlink("a.bmp", folder.File("link.bmp").c_str()), 0);
    ASSERT_EQ(SaveBmp(folder.File("link.bmp"), 4, 4), kErrNone);
    ASSERT_EQ(::lstat(folder.File("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FileSize(file), small);
    ASSERT_EQ(::symlink(folder.File("new.bmp").c_str(), folder.File("dangling.bmp").c_str()), 0);
    ASSERT_EQ(SaveBmp(folder.File("dangling.bmp"), 4, 4), kErrNone);
    ASSERT_EQ(::lstat(folder.File("dangling.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FileSize(folder.File("new.bmp")), small);

    // A hard link is not split: both names still share the file and see the picture.
    ASSERT_EQ(::link(file.c_str(), folder.File("hard.bmp").c_str()), 0);
    ASSERT_EQ(SaveBmp(folder.File("hard.bmp"), 8, 8), kErrNone);
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(file.c_str(), &a), 0);
    ASSERT_EQ(::stat(folder.File("hard.bmp").c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(a.st_nlink, 2u);
    EXPECT_EQ(FileSize(file), large);
    EXPECT_EQ(a.st_mode & 07777, 0640u);

    // A read-only file gets the message and stays as it was (even for the superuser).
    ASSERT_EQ(::chmod(folder.File("new.bmp").c_str(), 0444), 0);
    EXPECT_EQ(SaveBmp(folder.File("new.bmp"), 8, 8), kErrFileOpen);
    EXPECT_EQ(FileSize(folder.File("new.bmp")), small);
    EXPECT_EQ(SaveBmp(folder.File("dangling.bmp"), 8, 8), kErrFileOpen);
    EXPECT_EQ(FileSize(folder.File("new.bmp")), small);

    // No temporary file is left anywhere.
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"a.bmp", "dangling.bmp", "hard.bmp",
                                                              "link.bmp", "new.bmp"}));
}

// Under a file-size limit the save fails with "error on file write" instead of the
// program being killed by SIGXFSZ, the old file stays and no temporary file is left.
TEST(SafeSave, FileSizeLimitFailsTheWriteAndLeavesNothingBehind) {
    TempFolder folder;
    const std::size_t small = 54 + 4 * 4 * 3;
    ASSERT_EQ(SaveBmp(folder.File("plain.bmp"), 4, 4), kErrNone);
    ASSERT_EQ(SaveBmp(folder.File("linked.bmp"), 4, 4), kErrNone);
    ASSERT_EQ(::link(folder.File("linked.bmp").c_str(), folder.File("hard.bmp").c_str()), 0);
    for (const char* target : {"plain.bmp", "linked.bmp", "fresh.bmp"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::_exit(int(SaveBmp(folder.File(target), 64, 64)));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << target << " killed by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), int(kErrFileWrite)) << target;
    }
    EXPECT_EQ(FileSize(folder.File("plain.bmp")), small);
    EXPECT_EQ(FileSize(folder.File("linked.bmp")), small);
    EXPECT_EQ(Names(folder.Path()),
              (std::vector<std::string>{"hard.bmp", "linked.bmp", "plain.bmp"}));
}

// A file sink streams its bytes to the file in blocks. Every RGB writer gives the same
// file through it as through a memory sink, also when it seeks back over bytes already
// passed on (TIFF mends its directory offsets) and when the picture is larger than a
// block; and a size limit met in the middle still fails as a write, leaving nothing.
TEST(SafeSave, StreamedFilesEqualTheBytesEncodedInMemory) {
    TempFolder folder;
    const int w = 701, h = 1203; // 2.5 MB of RGB: several blocks
    Pixels rgb(std::size_t(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = std::uint8_t(i * 7 / 5 ^ i >> 9);
    for (const FormatEntry& e : FormatTable()) {
        if (e.depth != FormatDepth::kRGB || !e.writeRGB) continue;
        CSink memory;
        ASSERT_TRUE(e.writeRGB(memory, rgb.data(), w, h, 90).Ok()) << e.name;
        const std::string path = folder.File("streamed");
        unsigned code = kErrNone;
        std::unique_ptr<CSink> file = OpenSink(path, code);
        ASSERT_TRUE(file) << e.name;
        const bool written = e.writeRGB(*file, rgb.data(), w, h, 90).Ok();
        ASSERT_TRUE(CloseSink(std::move(file), written).Ok() && written) << e.name;
        EXPECT_EQ(ReadFile(path), memory.Bytes()) << e.name;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{1536 * 1024, 1536 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CImageFileBuffer buffer;
        if (buffer.Allocate(w, h) != 0) ::_exit(99);
        ::_exit(int(buffer.Save(folder.File("limited.tif"), kFormatTIFF)));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), int(kErrFileWrite));
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"streamed"});
}
