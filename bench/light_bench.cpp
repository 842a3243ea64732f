// Lens flare speed: nine tile copies of a 2048 x 2048 picture with rays, five glows and
// nineteen ghosts, on every core and on one thread (wall-clock time).
#include "core/base/ProgressReporter.h"
#include "core/filters/LightEffects.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace quiltara;

namespace {

void BM_LensFlare(benchmark::State& state) {
    const int side = int(state.range(0)), size = int(state.range(1));
    const bool threaded = state.range(2) != 0;
    std::vector<std::uint8_t> pixels(std::size_t(side) * side * 4, 40);
    CNullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(pixels.begin(), pixels.end(), std::uint8_t(40));
        state.ResumeTiming();
        // A drag from a third of the way across, size pixels long.
        RenderLightDrag(pixels.data(), side, side, LightKind::LensFlare, side / 3, side / 3,
                        side / 3 + size, side / 3, int(state.range(3)), progress, threaded);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 9LL * side * side);
}
BENCHMARK(BM_LensFlare)
    ->Args({2048, 100, 1, 255})
    ->Args({2048, 400, 1, 255})
    ->Args({2048, 1500, 1, 255})
    ->Args({2048, 1500, 1, 0})
    ->Args({2048, 100, 0, 255})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
