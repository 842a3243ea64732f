// The cost of ending an edit on a 4096 x 4096 canvas: a stroke's commit copies only
// its rectangle (undo step and before-image), a whole-picture edit copies everything.
#include "core/document/CanvasModel.h"

#include <benchmark/benchmark.h>

#include <cstring>

using namespace quiltara;

namespace {

constexpr int kSide = 4096;

// A canvas over a large picture; the history keeps its steps in memory as long as they
// are small (the whole-picture steps go to the system's temporary folder).
struct BigCanvas {
    BigCanvas() {
        original.Create(kSide, kSide, 32, true);
        std::memset(original.GetBits(), 0x80, original.PixelBytes());
        model.Attach(&original, nullptr, 0, 0);
        model.CreateUndoHistory(3, "/tmp/");
    }
    CDIBSection2 original;
    CCanvasModel model;
};

void BM_StrokeCommit(benchmark::State& state) {
    BigCanvas c;
    const int side = int(state.range(0));
    int i = 0;
    for (auto _ : state) {
        CCanvasEdit edit = c.model.BeginEditGrowing();
        const int x = (i * 397) % kSide, y = (i * 631) % kSide;
        ++i;
        edit.Image().PixelAt(x, y)[0] = std::uint8_t(i);
        // Unwrapped, as the stroke engine reports it: it may cross the tile's edge.
        edit.Extend(CRect{x - side / 2, y - side / 2, x + side / 2, y + side / 2});
        edit.Commit();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(side) + " px dab rectangle");
}
BENCHMARK(BM_StrokeCommit)->Arg(64)->Arg(512);

void BM_WholePictureCommit(benchmark::State& state) {
    BigCanvas c;
    int i = 0;
    for (auto _ : state) {
        CCanvasEdit edit = c.model.BeginEdit();
        edit.Image().PixelAt(0, 0)[0] = std::uint8_t(++i);
        edit.Commit();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholePictureCommit)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
