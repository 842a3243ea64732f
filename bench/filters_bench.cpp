// Image processing speed: the wrapping Gaussian and unsharp mask, the resizers, the
// rotations, and the filter dialog's preview (400 x 300, every slot). Wall-clock time,
// and the CPU time of the whole process (every thread), which a busy machine disturbs
// less. Peer tools for the same cases: `make bench-compare` (bench/README.md).
#include "core/filters/FilterFactory.h"
#include "core/filters/GaussianWrap.h"
#include "core/filters/Resize.h"
#include "core/filters/RightAngle.h"
#include "core/filters/RotateByAngle.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

using namespace quiltara;

namespace {

const std::vector<std::uint8_t>& Picture(int w, int h) {
    static std::vector<std::uint8_t> pixels;
    static int lastW = 0, lastH = 0;
    if (w != lastW || h != lastH) {
        pixels.resize(std::size_t(w) * std::size_t(h) * 4);
        std::mt19937 rng(1);
        // Smooth shapes with noise, like a photograph rather than white noise.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c)
                    pixels[(std::size_t(y) * w + x) * 4 + c] =
                        std::uint8_t(((x * (c + 1) + y * 3) >> 4) + (rng() & 15));
        lastW = w, lastH = h;
    }
    return pixels;
}

void BM_GaussianWrap(benchmark::State& state) {
    const int side = int(state.range(0)), radius = int(state.range(1));
    const auto& src = Picture(side, side);
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        GaussianBlurWrap(src.data(), dst.data(), side, side, radius);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_GaussianWrap)
    ->Args({2048, 40})
    ->Args({2048, 255})
    ->Args({4096, 40})
    ->Args({4096, 255})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_UnsharpMaskWrap(benchmark::State& state) {
    const int side = int(state.range(0));
    const auto& src = Picture(side, side);
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        UnsharpMaskWrap(src.data(), dst.data(), side, side, 128, 40, 0);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_UnsharpMaskWrap)
    ->Arg(2048)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_ResizeBicubic(benchmark::State& state) {
    const int side = int(state.range(0)), to = int(state.range(1));
    const auto& src = Picture(side, side);
    std::vector<std::uint8_t> dst(std::size_t(to) * to * 4);
    for (auto _ : state) {
        ResizeBicubic(src.data(), side, side, dst.data(), to, to);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_ResizeBicubic)
    ->Args({2048, 1500})
    ->Args({4096, 1500})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_ResizeBilinear(benchmark::State& state) {
    const int side = int(state.range(0)), to = int(state.range(1));
    const auto& src = Picture(side, side);
    std::vector<std::uint8_t> dst(std::size_t(to) * to * 4);
    for (auto _ : state) {
        ResizeBilinear(src.data(), side, side, dst.data(), to, to);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_ResizeBilinear)
    ->Args({2048, 1500})
    ->Args({2048, 3000})
    ->Args({4096, 1500})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_RotateByAngle(benchmark::State& state) {
    const int side = int(state.range(0));
    const auto& src = Picture(side, side);
    for (auto _ : state) {
        RotatedPicture r = RotateByAngle(src.data(), side, side, 17.5, 0xFFFFFF);
        benchmark::DoNotOptimize(r.pixels.data());
    }
}
BENCHMARK(BM_RotateByAngle)
    ->Arg(2048)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_Rotate90(benchmark::State& state) {
    const int side = int(state.range(0));
    std::vector<std::uint8_t> p = Picture(side, side);
    for (auto _ : state) {
        RotateRightAngle(p.data(), side, side, kRotate90CW);
        benchmark::DoNotOptimize(p.data());
    }
}
BENCHMARK(BM_Rotate90)
    ->Arg(2048)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_FlipHorizontal(benchmark::State& state) {
    const int side = int(state.range(0));
    std::vector<std::uint8_t> p = Picture(side, side);
    for (auto _ : state) {
        FlipHorizontal(p.data(), side, side);
        benchmark::DoNotOptimize(p.data());
    }
}
BENCHMARK(BM_FlipHorizontal)
    ->Arg(2048)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The "FIlter" dialog's preview: SetImage + Apply on a 400 x 300 picture.
void BM_FilterPreview(benchmark::State& state) {
    const int slot = int(state.range(0));
    const auto& src = Picture(400, 300);
    std::vector<std::uint8_t> preview = src;
    CFilterFactory f;
    f.SelectFilter(slot);
    state.SetLabel(FilterTable()[std::size_t(slot)].name);
    for (auto _ : state) {
        f.SetImage(preview.data(), 400, 300);
        f.Apply();
        benchmark::DoNotOptimize(preview.data());
    }
}
BENCHMARK(BM_FilterPreview)
    ->DenseRange(0, 27)
    ->Arg(36)
    ->Arg(37)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
