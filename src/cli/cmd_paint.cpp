// quiltara-cli paint: one stroke of a painting, retouch, effect or clone tool laid by
// the stroke engine, wrapping at the edges, or the paint bucket over the whole picture.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/base/RuntimeRandom.h"
#include "core/devices/PspFile.h"
#include "core/devices/TubeFrames.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/CloneState.h"
#include "core/paint/ImageHose.h"
#include "core/paint/PaintBucket.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolStroke.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <utility>

namespace quiltara::cli {

namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{
    "paint",
    "paint IN OUT [--tool ID] [--brush circular|rectangular] [--size N] [--blur B] "
    "[--spacing F] [--color RRGGBB] [--background RRGGBB] [--opacity O] [--blend N] "
    "[--pressure-mode M] [--pressure P] [--seed N] [--texture FILE] [--clone texture|original] "
    "[--original FILE] [--surroundings FILE --offset OX,OY] [--source-point X,Y [--source FILE] "
    "[--feedback 0|1] [--wrap-source 0|1]] [--tube FILE [--cells AxD] [--hose-mode 0|1|2]] "
    "--stroke X,Y [X,Y ...]",
    "paints one stroke of a tool through the given points (picture coordinates); tool 10, "
    "the paint bucket, needs no stroke. Clone tools: 54 copies the surroundings (the offset "
    "as 'tile --surroundings' prints it: column, row from the bottom), 4 clones from the "
    "source point (of --source, or of IN) to the first stroke point, 20 paints the "
    "Original back, 28 bridges along the line from the first to the last stroke point. "
    "--tube makes the brush an image hose of the picture tube's cells (.tub, .psp, .pfr; "
    "--cells for a file without tube data, else 1x1), laid by the Image Nozzle (24) "
    "sequentially (0), randomly (1) or by direction (2)",
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

// "X,Y", two integers.
struct IntegerPoint {
    bool given = false;
    int x = 0, y = 0;
};
bool ParseIntegerPoint(const std::string& text, IntegerPoint& point) {
    constexpr int kFar = 1 << 24;
    const std::size_t comma = text.find(',');
    point.given = comma != std::string::npos &&
                  ParseInt(text.substr(0, comma), -kFar, kFar, point.x) &&
                  ParseInt(text.substr(comma + 1), -kFar, kFar, point.y);
    return point.given;
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
    std::string texturePath, originalPath, surroundingsPath, sourcePath, tubePath;
    IntegerPoint offset, sourcePoint;
    TubeCells answeredCells = TubeCellsAnswered(1, 1);
    CCloneState clone;
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
                return Fail("tool " + value + " does not paint here (tools: 1-4, 8-20, 24, 25, " +
                            "28-37, 54)");
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
        } else if (option == "--texture") {
            texturePath = value;
        } else if (option == "--tube") {
            tubePath = value;
        } else if (option == "--cells") {
            const std::size_t x = value.find('x');
            int across = 0, down = 0;
            ok = x != std::string::npos && ParseInt(value.substr(0, x), 1, 10000, across) &&
                 ParseInt(value.substr(x + 1), 1, 10000, down);
            if (ok) answeredCells = TubeCellsAnswered(across, down);
        } else if (option == "--hose-mode") {
            const auto v = Integer(value, kHoseSequential, kHoseDirectional);
            ok = v.has_value();
            if (ok) brush.hoseMode = *v;
        } else if (option == "--original") {
            originalPath = value;
        } else if (option == "--surroundings") {
            surroundingsPath = value;
        } else if (option == "--source") {
            sourcePath = value;
        } else if (option == "--clone") {
            ok = value == "texture" || value == "original";
            if (ok) context.cloneSourceKind = value == "texture" ? kCloneTexture : kCloneOriginal;
        } else if (option == "--offset" || option == "--source-point") {
            ok = ParseIntegerPoint(value, option == "--offset" ? offset : sourcePoint);
        } else if (option == "--feedback" || option == "--wrap-source") {
            ok = value == "0" || value == "1";
            (option == "--feedback" ? clone.feedback : clone.wrapOther) = value == "1";
        } else {
            return UsageError(kCommand);
        }
        if (!ok) return Fail("bad value '" + value + "' for " + option);
    }
    // The history brush (21) paints from an undo step, which a file does not have.
    if (tool == 21) return Fail("tool 21 (history brush) needs an undo step to paint from");
    if (tool != kPaintBucket && points.empty())
        return Fail("no stroke: give --stroke X,Y [X,Y ...]");

    if (!surroundingsPath.empty() && !offset.given)
        return Fail("--surroundings needs --offset OX,OY (as 'tile --surroundings' prints it)");

    CDIBSection2 picture, texture, original, surroundings, source;
    std::string error;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    for (const auto& [path, into] : {std::pair{&texturePath, &texture},
                                     {&originalPath, &original},
                                     {&surroundingsPath, &surroundings},
                                     {&sourcePath, &source}})
        if (!path->empty() && !ReadPicture(*path, *into, error)) return Fail(error);
    if (!texturePath.empty()) {
        context.texture = std::move(texture);
        context.textureDefined = true;
    }
    CToolSources sources;
    if (!originalPath.empty()) sources.original = &original;
    if (!surroundingsPath.empty()) {
        sources.surroundings = &surroundings;
        sources.surroundingsOffsetX = offset.x;
        sources.surroundingsOffsetY = offset.y;
    }
    // The source point lies in the source's picture coordinates: of --source, or of the
    // picture painted.
    if (sourcePoint.given)
        clone.SetSource(sourcePath.empty() ? &picture : &source, sourcePoint.x, sourcePoint.y);
    sources.clone = &clone;
    if (tool != kPaintBucket) {
        const ToolSourceProblem problem = ToolSourceMissing(tool, sources, context);
        if (problem != ToolSourceProblem::None) return Fail(CloneMessage(problem));
    }
    CRuntimeRandom random(seed);
    if (!tubePath.empty()) {
        // The tube's cells become the hose's frames, as the image hose's "Import" makes
        // them.
        CPspFile psp;
        const int result = psp.Load(tubePath);
        if (result != CPspFile::kLoaded)
            return Fail(psp.Messages().empty() ? "cannot read " + tubePath : psp.Messages().back());
        if (!psp.HasCanvas()) return Fail("the tube has no size");
        const TubeCells fileCells = TubeCellsOf(psp);
        std::vector<CDIBSection2> frames =
            CutTube(psp, fileCells.Empty() ? answeredCells : fileCells, kMaxHoseFrames);
        if (frames.empty()) return Fail("the tube's cells are empty");
        brush.type = kBrushImageHose;
        AppendHoseFrames(brush, std::move(frames));
        SetMaskFromHose(brush, random);
        brush.hoseCursor = 0;
    }
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
    // The rubber stamp with feedback in its own picture clones what it has just laid.
    const bool live = tool == 4 && clone.feedback && sourcePath.empty();
    CToolStroke stroke(tool, context, operators, random, picture, live ? picture : readImage,
                       sources);
    if (tool == kLineBridge)
        stroke.SetGuide(points.front().first, points.front().second, points.back().first,
                        points.back().second);
    const CStrokeView view; // zoom 1, the picture at the window's corner
    int dabs = stroke.Press(points[0].first, points[0].second, view, context.pressure).dabs;
    for (std::size_t k = 1; k < points.size(); ++k)
        dabs += stroke.Move(points[k].first, points[k].second, view, context.pressure).dabs;
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    changed = WrapRectIntoImage(stroke.ChangedRect(), picture.GetWidth(), picture.GetHeight());
    if (brush.type == kBrushImageHose)
        std::printf("%zu frames, %s\n", brush.hoseFrames.size(), HoseModeLabel(brush.hoseMode));
    std::printf("%d dabs, stamp %d x %d, changed %d,%d-%d,%d (memory rows)\n", dabs,
                context.brush.mask.GetWidth(), context.brush.mask.GetHeight(), changed.left,
                changed.top, changed.right, changed.bottom);
    return 0;
}

} // namespace

} // namespace quiltara::cli
