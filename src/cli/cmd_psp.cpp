// quiltara-cli psp FILE OUT.png and tube FILE OUTDIR: Paint Shop Pro images and tubes.
#include "CliCommand.h"

#include "core/devices/PspFile.h"
#include "core/devices/TubeFrames.h"
#include "core/image/codecs/Codecs.h"

#include <cstdio>
#include <filesystem>

namespace quiltara::cli {
namespace {

int RunPsp(const std::vector<std::string>& args);
int RunTube(const std::vector<std::string>& args);

const CliCommand kPsp{"psp", "psp FILE OUT.png",
                      "composite the layers of a Paint Shop Pro image or tube into an RGBA PNG",
                      RunPsp};
const CliCommand kTube{"tube", "tube FILE OUTDIR",
                       "cut a picture tube into its frames (frame001.png, ...) and print its "
                       "information",
                       RunTube};
const CliRegistration kPspRegistration(kPsp);
const CliRegistration kTubeRegistration(kTube);

// Writes rows-top-down RGBA pixels as an RGBA PNG; the old file survives a failure.
bool WriteRgbaPng(const std::string& path, const std::uint8_t* rgba, int width, int height) {
    return SaveThroughSink(path, [&](CSink& sink) {
               return WritePNGAlpha(sink, rgba, width, height);
           }) == kErrNone;
}

// Loads the file; on failure prints the reader's texts and returns false.
bool LoadPsp(const std::string& path, CPspFile& psp) {
    const int result = psp.Load(path);
    if (result == CPspFile::kLoaded) {
        for (const std::string& text : psp.Messages())
            std::fprintf(stderr, "quiltara-cli: %s\n", text.c_str());
        return true;
    }
    if (psp.Messages().empty()) Fail("cannot read " + path);
    for (const std::string& text : psp.Messages()) Fail(text);
    return false;
}

int RunPsp(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError(kPsp);
    CPspFile psp;
    if (!LoadPsp(args[0], psp)) return 1;
    if (!psp.HasCanvas()) return Fail("the image has no size");
    if (!WriteRgbaPng(args[1], psp.Canvas().data(), psp.Width(), psp.Height()))
        return Fail("cannot write " + args[1]);
    return 0;
}

int RunTube(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError(kTube);
    CPspFile psp;
    if (!LoadPsp(args[0], psp)) return 1;
    if (!psp.HasCanvas()) return Fail("the image has no size");
    // Without tube data the whole picture is one cell, as when the user answers 1 x 1.
    const bool hasTube = psp.CellCount() >= 1;
    const int across = hasTube ? psp.CellsAcross() : 1;
    const int down = hasTube ? psp.CellsDown() : 1;
    const int count = hasTube ? psp.CellCount() : 1;
    std::printf("Title: %s\n", psp.Title().c_str());
    std::printf("Artist: %s\n", psp.Artist().c_str());
    std::printf("Copyright: %s\n", psp.Copyright().c_str());
    std::printf("Description: %s\n", psp.Description().c_str());
    std::printf("Cells across: %d\n", across);
    std::printf("Cells down: %d\n", down);
    std::printf("Cell count: %d\n", count);
    std::printf("Placement mode: %s\n", CPspFile::PlacementModeName(psp.PlacementMode()));
    std::printf("Selection mode: %s\n", CPspFile::SelectionModeName(psp.SelectionMode()));
    std::fflush(stdout);

    const std::vector<CDIBSection2> frames =
        CutTubeFrames(psp.Canvas().data(), psp.Width(), psp.Height(), across, down, count);
    if (frames.empty()) return Fail("the tube's cells are empty");
    std::error_code ec;
    std::filesystem::create_directories(args[1], ec);
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const CDIBSection2& frame = frames[i];
        const int w = frame.GetWidth(), h = frame.GetHeight();
        rgba.resize(std::size_t(w) * std::size_t(h) * 4);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* s = frame.GetRow(y);
            std::uint8_t* d = rgba.data() + std::size_t(y) * std::size_t(w) * 4;
            for (int x = 0; x < w; ++x, s += 4, d += 4)
                d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame%03zu.png", i + 1);
        const std::string path = (std::filesystem::path(args[1]) / name).string();
        if (!WriteRgbaPng(path, rgba.data(), w, h)) return Fail("cannot write " + path);
    }
    std::printf("Frames: %zu\n", frames.size());
    return 0;
}

} // namespace
} // namespace quiltara::cli
