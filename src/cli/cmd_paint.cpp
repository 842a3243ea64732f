// quiltara-cli paint: one stroke of a painting, retouch or effect tool laid by the
// stroke engine, wrapping at the edges, or the paint bucket over the whole picture.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/base/RuntimeRandom.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/PaintBucket.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolStroke.h"

#include <cctype>
#include <cstdio>
#include <optional>

namespace quiltara::cli {

namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{
    "paint",
    "paint IN OUT [--tool ID] [--brush circular|rectangular] [--size N] [--blur B] "
    "[--spacing F] [--color RRGGBB] [--background RRGGBB] [--opacity O] [--blend N] "
    "[--pressure-mode M] [--pressure P] [--seed N] --stroke X,Y [X,Y ...]",
    "paints one stroke of a tool through the given points (picture coordinates); tool 10, "
    "the paint bucket, needs no stroke",
    Run};
const CliRegistration kRegistration(kCommand);

constexpr int kPaintBucket = 10;

// Stroke points beyond this are refused: far beyond any picture, and safe to round.
constexpr double kMaxCoordinate = 1e7;

std::optional<double> Coordinate(const std::string& text) {
    double v = 0;
    if (!ParseDouble(text, v) || v < -kMaxCoordinate || v > kMaxCoordinate) return std::nullopt;
    return v;
}

std::optional<int> Integer(const std::string& text, int lo, int hi) {
    int v = 0;
    if (!ParseInt(text, lo, hi, v)) return std::nullopt;
    return v;
}

// RRGGBB, six hexadecimal digits.
std::optional<ColorRef> Colour(const std::string& text) {
    if (text.size() != 6) return std::nullopt;
    unsigned rgb = 0;
    for (char ch : text) {
        if (!std::isxdigit(static_cast<unsigned char>(ch))) return std::nullopt;
        rgb = rgb * 16 + unsigned(std::isdigit(static_cast<unsigned char>(ch))
                                      ? ch - '0'
                                      : std::tolower(static_cast<unsigned char>(ch)) - 'a' + 10);
    }
    return MakeColorRef(int(rgb >> 16), int(rgb >> 8), int(rgb));
}

int Run(const std::vector<std::string>& args) {
    if (args.size() < 2) return UsageError(kCommand);
    CBrush brush;
    CPaintingContext context;
    int tool = 1;
    std::uint32_t seed = 1;
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--stroke") {
            while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                const std::string& p = args[++i];
                const std::size_t comma = p.find(',');
                const auto x =
                    comma == std::string::npos ? std::nullopt : Coordinate(p.substr(0, comma));
                const auto y =
                    comma == std::string::npos ? std::nullopt : Coordinate(p.substr(comma + 1));
                if (!x || !y) return Fail("bad stroke point '" + p + "' (expected X,Y)");
                points.emplace_back(*x, *y);
            }
            continue;
        }
        if (i + 1 >= args.size()) return UsageError(kCommand);
        const std::string& value = args[++i];
        bool ok = true;
        if (option == "--tool") {
            const auto v = Integer(value, 0, 1000);
            ok = v.has_value();
            if (ok && *v != kPaintBucket && !IsStrokeTool(*v))
                return Fail("tool " + value + " does not paint here (tools: 1, 2, 3, 8, 9, 10, " +
                            "11-19, 24, 25, 29-37)");
            if (ok) tool = *v;
        } else if (option == "--brush") {
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
            double v = 0;
            ok = ParseDouble(value, v) && v >= 0 && v <= 200;
            if (ok) brush.blur = v;
        } else if (option == "--spacing") {
            double v = 0;
            ok = ParseDouble(value, v) && v >= 0 && v <= 100;
            if (ok) brush.spacing = brush.spacingCopy = v;
        } else if (option == "--color" || option == "--background") {
            const auto v = Colour(value);
            ok = v.has_value();
            if (ok) (option == "--color" ? context.foreColor : context.backColor) = *v;
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
        } else if (option == "--seed") {
            const auto v = Integer(value, 0, 2147483647);
            ok = v.has_value();
            if (ok) seed = std::uint32_t(*v);
        } else {
            return UsageError(kCommand);
        }
        if (!ok) return Fail("bad value '" + value + "' for " + option);
    }
    // The history brush (21) paints from an undo step, which a file does not have.
    if (tool == 21) return Fail("tool 21 (history brush) needs an undo step to paint from");
    if (tool != kPaintBucket && points.empty())
        return Fail("no stroke: give --stroke X,Y [X,Y ...]");

    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    CRuntimeRandom random(seed);
    context.toolId = tool;
    CRect changed;
    if (tool == kPaintBucket) {
        changed = PaintBucket(picture, context, random);
        if (!WritePicture(args[1], picture, false, error)) return Fail(error);
        std::printf("filled, changed %d,%d-%d,%d (memory rows)\n", changed.left, changed.top,
                    changed.right, changed.bottom);
        return 0;
    }
    context.SelectBrush(brush);
    CToolOperatorState operators;
    operators.ToolChosen(tool, random);
    CDIBSection2 readImage;
    readImage.Copy(&picture); // the picture as it was at the press
    CToolStroke stroke(tool, context, operators, random, picture, readImage);
    const CStrokeView view; // zoom 1, the picture at the window's corner
    int dabs = stroke.Press(points[0].first, points[0].second, view, context.pressure).dabs;
    for (std::size_t k = 1; k < points.size(); ++k)
        dabs += stroke.Move(points[k].first, points[k].second, view, context.pressure).dabs;
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    changed = WrapRectIntoImage(stroke.ChangedRect(), picture.GetWidth(), picture.GetHeight());
    std::printf("%d dabs, stamp %d x %d, changed %d,%d-%d,%d (memory rows)\n", dabs,
                context.brush.mask.GetWidth(), context.brush.mask.GetHeight(), changed.left,
                changed.top, changed.right, changed.bottom);
    return 0;
}

} // namespace

} // namespace quiltara::cli
