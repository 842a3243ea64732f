// Writes the program's icon into an icon theme folder: <size>x<size>/apps/NAME.png for
// each size given and scalable/apps/NAME.svg, all from one description.
#include "core/image/ProgramIcon.h"
#include "core/image/codecs/CodecIO.h"
#include "core/image/codecs/Codecs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icons THEME_FOLDER NAME SIZE...\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path theme = argv[1];
    const std::string name = argv[2];
    std::error_code ec;
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const std::vector<std::uint8_t> rgba = quiltara::DrawProgramIcon(size);
        const fs::path folder =
            theme / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        fs::create_directories(folder, ec);
        const std::string path = (folder / (name + ".png")).string();
        unsigned code = 0;
        auto sink = rgba.empty() ? nullptr : quiltara::OpenSink(path, code);
        const bool written = sink && quiltara::WritePNGAlpha(*sink, rgba.data(), size, size);
        if (!sink || !quiltara::CloseSink(std::move(sink), written) || !written) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    fs::create_directories(theme / "scalable/apps", ec);
    std::ofstream svg(theme / "scalable/apps" / (name + ".svg"), std::ios::binary);
    svg << quiltara::ProgramIconSvg();
    if (!svg.flush()) {
        std::fprintf(stderr, "make_icons: cannot write the SVG icon\n");
        return 1;
    }
    return 0;
}
