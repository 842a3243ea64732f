// quiltara-cli brushes: what a brush library (".brs") or a single brush (".br1") holds,
// with the previews on request.
#include "CliCommand.h"
#include "CliPictureFiles.h"

#include "core/paint/BrushLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace quiltara::cli {

namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{"brushes", "brushes FILE.brs|FILE.br1 [--previews DIR]",
                          "lists the brushes of a library or a brush file; writes their "
                          "previews as PNG",
                          Run};
const CliRegistration kRegistration(kCommand);

// A ".br1" file holds one brush, as the brush bar's "Import..." reads it; any other
// name is read as a library.
bool IsSingleBrushFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".br1";
}

int Run(const std::vector<std::string>& args) {
    std::string previews;
    if (args.size() == 3 && args[1] == "--previews")
        previews = args[2];
    else if (args.size() != 1)
        return UsageError(kCommand);
    const bool single = IsSingleBrushFile(args[0]);
    CBrushLibrary library;
    CBrush brush;
    const CBrushFileResult result = single ? ImportBrush(args[0], brush) : library.Load(args[0]);
    for (const std::string& text : result.messages)
        std::fprintf(stderr, "quiltara-cli: %s\n", text.c_str());
    if (!result.ok)
        return Fail((single ? "cannot read the brush file " : "cannot read the brush library ") +
                    args[0]);
    if (single) library.Append(brush);
    if (!previews.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(previews, ec);
    }
    int index = 0;
    for (const CBrush& b : library.Brushes()) {
        std::printf(
            "%3d  %-20s  %-11s  size %d  spacing %g  blur %g  pressure %d (%s)  frames %d\n", index,
            b.name.c_str(), BrushTypeLabel(b.type), b.size, b.spacing, b.blur, b.pressureMode,
            PressureModeLabel(b.pressureMode), int(b.hoseFrames.size()));
        if (!previews.empty() && !b.preview.IsEmpty()) {
            char name[32];
            std::snprintf(name, sizeof name, "%03d.png", index);
            std::string error;
            if (!WritePicture((std::filesystem::path(previews) / name).string(), b.preview, true,
                              error))
                return Fail(error);
        }
        ++index;
    }
    return 0;
}

} // namespace

} // namespace quiltara::cli
