// The stroke engine's speed: dabs of a 60-pixel soft round brush in every blend mode on
// a 2048 x 2048 tile, a 20-dab segment (the work of one pointer event), a long stroke
// across the tile's corner, and one segment of each kind of tool on a 4096 x 4096 tile.
#include "core/base/RuntimeRandom.h"
#include "core/paint/BlendModes.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/DabPainter.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/Stroke.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolStroke.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace quiltara;

namespace {

constexpr int kTile = 2048;

CDIBSection2& Tile() {
    static CDIBSection2 tile = [] {
        CDIBSection2 t;
        t.Create(kTile, kTile, 32, true);
        std::mt19937 rng(5);
        for (std::size_t i = 0; i < t.PixelBytes(); ++i) t.GetBits()[i] = std::uint8_t(rng());
        return t;
    }();
    return tile;
}

CBrush SoftRound() {
    CBrush brush;
    brush.size = 60;
    brush.blur = 10;
    brush.color = MakeColorRef(200, 120, 40);
    GenerateStamp(brush, 0);
    return brush;
}

void BM_Dab(benchmark::State& state) {
    CDIBSection2& tile = Tile();
    CDIBSection2 read;
    read.Copy(&tile);
    const CBrush brush = SoftRound();
    CDabArgs args;
    args.stamp = &brush.mask;
    args.blendMode = int(state.range(0));
    args.opacity = 200;
    int i = 0;
    for (auto _ : state) {
        args.left = (i * 37) % kTile - 40; // wanders over the tile and its edges
        args.top = (i * 53) % kTile - 40;
        ++i;
        PaintDab(tile, read, args);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::string(BlendModeLabel(args.blendMode)) + ", stamp " +
                   std::to_string(brush.mask.GetWidth()) + " px");
}
BENCHMARK(BM_Dab)->DenseRange(0, kBlendModeCount - 1);

void BM_Segment20Dabs(benchmark::State& state) {
    CDIBSection2& tile = Tile();
    CDIBSection2 read;
    read.Copy(&tile);
    CBrush brush = SoftRound();
    CRuntimeRandom random(1);
    CStroke stroke(tile, read, brush, random);
    stroke.dabTemplate.blendMode = int(state.range(0));
    const int spacing = stroke.Spacing();
    double x = 100;
    stroke.Press(x, 1000, CStrokeView{});
    int dabs = 0;
    for (auto _ : state) {
        x += 20.0 * spacing;
        if (x > 1900) {
            x = 100;
            stroke.Press(x, 1000, CStrokeView{});
            x += 20.0 * spacing;
        }
        dabs += stroke.Move(x, 1000, CStrokeView{}).dabs;
    }
    state.SetItemsProcessed(dabs);
    state.SetLabel(std::to_string(spacing) + " px spacing");
}
BENCHMARK(BM_Segment20Dabs)->Arg(kBlendNormal)->Arg(kBlendEdgeSmart)->Unit(benchmark::kMillisecond);

void BM_StrokeAcrossCorner(benchmark::State& state) {
    CDIBSection2& tile = Tile();
    CDIBSection2 read;
    read.Copy(&tile);
    CBrush brush = SoftRound();
    CRuntimeRandom random(1);
    int dabs = 0;
    for (auto _ : state) {
        CStroke stroke(tile, read, brush, random);
        stroke.dabTemplate.opacity = 180;
        // From inside the tile, over its bottom-right corner, into the top-left.
        stroke.Press(kTile - 600, kTile - 500, CStrokeView{});
        for (int k = 1; k <= 100; ++k)
            dabs += stroke.Move(kTile - 600 + 12 * k, kTile - 500 + 10 * k, CStrokeView{}).dabs;
    }
    state.SetItemsProcessed(dabs);
}
BENCHMARK(BM_StrokeAcrossCorner)->Unit(benchmark::kMillisecond);

constexpr int kBigTile = 4096;

CDIBSection2& BigTile() {
    static CDIBSection2 tile = [] {
        CDIBSection2 t;
        t.Create(kBigTile, kBigTile, 32, true);
        std::mt19937 rng(6);
        for (std::size_t i = 0; i < t.PixelBytes(); ++i) t.GetBits()[i] = std::uint8_t(rng());
        return t;
    }();
    return tile;
}

// One pointer move of a tool's stroke: 20 dabs of the soft 60-pixel brush, as
// BM_Segment20Dabs, through CToolStroke and the tool's colour source.
void BM_ToolSegment(benchmark::State& state) {
    const int tool = int(state.range(0));
    CDIBSection2& tile = BigTile();
    static CDIBSection2 read = [] {
        CDIBSection2 r;
        r.Copy(&BigTile());
        return r;
    }();
    CPaintingContext context;
    context.blendMode = int(state.range(1));
    context.brush = SoftRound();
    CRuntimeRandom random(1);
    CToolOperatorState operators;
    operators.ToolChosen(tool, random);
    CToolStroke stroke(tool, context, operators, random, tile, read);
    const int spacing = stroke.Engine().Spacing();
    double x = 200;
    stroke.Press(x, 2000, CStrokeView{});
    int dabs = 0;
    for (auto _ : state) {
        x += 20.0 * spacing;
        if (x > kBigTile - 200) {
            x = 200;
            stroke.Press(x, 2000, CStrokeView{});
            x += 20.0 * spacing;
        }
        dabs += stroke.Move(x, 2000, CStrokeView{}).dabs;
    }
    state.SetItemsProcessed(dabs);
    state.SetLabel("tool " + std::to_string(tool) + ", " + BlendModeLabel(context.blendMode));
}
BENCHMARK(BM_ToolSegment)
    ->ArgsProduct({{1, 8, 9, 18, 19, 12, 16, 29, 30, 31, 32, 34, 35, 36, 37},
                   {kBlendNormal, kBlendEdgeSmart}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
