// Repainting the canvas: a whole 1200 x 800 window over a 4096 x 4096 tile, and a
// small exposed rectangle, at zoom 1 and 0.3.
#include "gui/view/CCanvasWnd.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>

using namespace quiltara;
using namespace quiltara::gui;

namespace {

CCanvasWnd& Canvas() {
    static CCanvasWnd* canvas = [] {
        auto* c = new CCanvasWnd;
        c->resize(1200, 800);
        c->show();
        CDIBSection2 tile;
        tile.Create(4096, 4096, 32, true);
        std::mt19937 rng(7);
        std::uint32_t* p = reinterpret_cast<std::uint32_t*>(tile.GetBits());
        for (std::size_t i = 0; i < std::size_t(4096) * 4096; ++i) p[i] = rng();
        c->AttachDocument(&tile, nullptr, 0, 0);
        return c;
    }();
    return *canvas;
}

void Repaint(benchmark::State& state, double zoom, QRect clip) {
    CCanvasWnd& canvas = Canvas();
    canvas.SetZoom(zoom);
    const QSize client = canvas.viewport()->size();
    QImage target(client, QImage::Format_RGB32);
    if (clip.isNull()) clip = QRect(QPoint(0, 0), client);
    for (auto _ : state) {
        QPainter painter(&target);
        canvas.PaintCanvas(painter, clip);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["pixels"] = double(clip.width()) * clip.height();
}

void BM_FullWindowZoom1(benchmark::State& s) {
    Repaint(s, 1.0, {});
}
void BM_FullWindowZoom03(benchmark::State& s) {
    Repaint(s, 0.3, {});
}
void BM_ExposedRectZoom1(benchmark::State& s) {
    Repaint(s, 1.0, QRect(100, 100, 64, 64));
}
void BM_ExposedRectZoom03(benchmark::State& s) {
    Repaint(s, 0.3, QRect(100, 100, 64, 64));
}

BENCHMARK(BM_FullWindowZoom1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWindowZoom03)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExposedRectZoom1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExposedRectZoom03)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
