// quiltara-cli paint: one brush stroke laid by the stroke engine, wrapping at the edges.
#include "CliCommand.h"
#include "CliPictureFiles.h"

#include "core/base/RuntimeRandom.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/Stroke.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace quiltara::cli {

namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{
    "paint",
    "paint IN OUT [--brush circular|rectangular] [--size N] [--blur B] [--spacing F] "
    "[--color RRGGBB] [--opacity O] [--blend N] [--pressure-mode M] [--pressure P] "
    "--stroke X,Y [X,Y ...]",
    "paints one stroke through the given points (picture coordinates)", Run};
const CliRegistration kRegistration(kCommand);

std::optional<double> Number(const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end) return std::nullopt;
    return v;
}

std::optional<int> Integer(const std::string& text, int lo, int hi) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < lo || v > hi) return std::nullopt;
    return int(v);
}

int Run(const std::vector<std::string>& args) {
    if (args.size() < 2) return UsageError(kCommand);
    CBrush brush;
    CPaintingContext context;
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--stroke") {
            while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                const std::string& p = args[++i];
                const std::size_t comma = p.find(',');
                const auto x =
                    comma == std::string::npos ? std::nullopt : Number(p.substr(0, comma));
                const auto y =
                    comma == std::string::npos ? std::nullopt : Number(p.substr(comma + 1));
                if (!x || !y) return Fail("bad stroke point '" + p + "' (expected X,Y)");
                points.emplace_back(*x, *y);
            }
            continue;
        }
        if (i + 1 >= args.size()) return UsageError(kCommand);
        const std::string& value = args[++i];
        bool ok = true;
        if (option == "--brush") {
            if (value == "circular")
                brush.type = kBrushCircular;
            else if (value == "rectangular")
                brush.type = kBrushRectangular;
            else
                ok = false;
        } else if (option == "--size") {
            const auto v = Integer(value, 1, 600);
            ok = v.has_value();
            if (ok) brush.size = *v;
        } else if (option == "--blur") {
            const auto v = Number(value);
            ok = v && *v >= 0 && *v <= 200;
            if (ok) brush.blur = *v;
        } else if (option == "--spacing") {
            const auto v = Number(value);
            ok = v && *v >= 0 && *v <= 100;
            if (ok) brush.spacing = brush.spacingCopy = *v;
        } else if (option == "--color") {
            char* end = nullptr;
            const unsigned long rgb = std::strtoul(value.c_str(), &end, 16);
            ok = value.size() == 6 && !*end;
            if (ok) context.foreColor = MakeColorRef(int(rgb >> 16), int(rgb >> 8), int(rgb));
        } else if (option == "--opacity") {
            const auto v = Integer(value, 0, 255);
            ok = v.has_value();
            if (ok) context.opacity = *v;
        } else if (option == "--blend") {
            const auto v = Integer(value, 0, 11);
            ok = v.has_value();
            if (ok) context.blendMode = *v;
        } else if (option == "--pressure-mode") {
            const auto v = Integer(value, 0, kPressureModeCount - 1);
            ok = v.has_value();
            if (ok) brush.pressureMode = *v;
        } else if (option == "--pressure") {
            const auto v = Integer(value, 0, 255);
            ok = v.has_value();
            if (ok) context.pressure = *v;
        } else {
            return UsageError(kCommand);
        }
        if (!ok) return Fail("bad value '" + value + "' for " + option);
    }
    if (points.empty()) return Fail("no stroke: give --stroke X,Y [X,Y ...]");

    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    context.SelectBrush(brush);
    CDIBSection2 readImage;
    readImage.Copy(&picture); // the picture as it was at the press
    CStroke stroke(picture, readImage, context.brush, ProgramRandom());
    stroke.dabTemplate = context.BrushDabArgs();
    const CStrokeView view; // zoom 1, the picture at the window's corner
    int dabs = stroke.Press(points[0].first, points[0].second, view, context.pressure).dabs;
    for (std::size_t k = 1; k < points.size(); ++k)
        dabs += stroke.Move(points[k].first, points[k].second, view, context.pressure).dabs;
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    const CRect changed =
        WrapRectIntoImage(stroke.ChangedRect(), picture.GetWidth(), picture.GetHeight());
    std::printf("%d dabs, stamp %d x %d, changed %d,%d-%d,%d (memory rows)\n", dabs,
                context.brush.mask.GetWidth(), context.brush.mask.GetHeight(), changed.left,
                changed.top, changed.right, changed.bottom);
    return 0;
}

} // namespace

} // namespace quiltara::cli
