// The seam meter after an edit, the repetition measure, light flattening and tiled
// sheets, on tiles of the sizes people paint. The meter runs after every stroke, so
// what it costs is what a stroke's release costs more.
#include "core/filters/FlattenLight.h"
#include "core/tiling/RepetitionMeasure.h"
#include "core/tiling/SeamMeter.h"
#include "core/tiling/TileRepeat.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace quiltara;

namespace {

const CDIBSection2& Tile(int side) {
    static CDIBSection2 tile;
    if (tile.IsEmpty() || tile.GetWidth() != side) {
        tile.Create(side, side, 32, true);
        std::mt19937 rng(1);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                for (int c = 0; c < 4; ++c)
                    tile.PixelAt(x, y)[c] =
                        std::uint8_t(((x * (c + 1) + y * 3) >> 4) + (rng() & 15));
    }
    return tile;
}

void BM_SeamMeter(benchmark::State& state) {
    const CDIBSection2& tile = Tile(int(state.range(0)));
    CSeamMeter meter;
    for (auto _ : state) {
        meter.Measure(tile);
        benchmark::DoNotOptimize(meter.Scores().overall.score);
    }
}
BENCHMARK(BM_SeamMeter)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);

void BM_SeamStrips(benchmark::State& state) {
    CSeamMeter meter;
    meter.Measure(Tile(int(state.range(0))));
    CDIBSection2 leftRight, topBottom;
    for (auto _ : state) {
        RenderSeamStrips(meter, leftRight, topBottom);
        benchmark::DoNotOptimize(leftRight.GetBits());
    }
}
BENCHMARK(BM_SeamStrips)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);

void BM_Repetition(benchmark::State& state) {
    const CDIBSection2& tile = Tile(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(MeasureRepetition(tile));
}
BENCHMARK(BM_Repetition)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_FlattenLight(benchmark::State& state) {
    const CDIBSection2& tile = Tile(int(state.range(0)));
    CDIBSection2 copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy.Copy(&tile);
        state.ResumeTiming();
        FlattenLight(copy);
        benchmark::DoNotOptimize(copy.GetBits());
    }
}
BENCHMARK(BM_FlattenLight)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RepeatSheet(benchmark::State& state) {
    const CDIBSection2& tile = Tile(1024);
    CDIBSection2 sheet;
    for (auto _ : state) {
        RepeatTile(tile, 4, 4, true, sheet);
        benchmark::DoNotOptimize(sheet.GetBits());
    }
}
BENCHMARK(BM_RepeatSheet)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
