// Repainting the canvas: a whole 1200 x 800 window over a 4096 x 4096 tile, and a
// small exposed rectangle, at zoom 1 and 0.3; and painting on it: one pointer move of a
// stroke with a 60-pixel soft brush, with the repaint of what it changed.
#include "core/paint/ToolSet.h"
#include "gui/app/AppState.h"
#include "gui/view/CCanvasWnd.h"

#include <QApplication>
#include <QMouseEvent>
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

// One pointer move with the button down, as the window gets it, and the repaint that
// the move queued (processed as the event loop would). The stroke runs to and fro
// along a line, 16 client pixels per move; blend is Normal or Edge-Smart.
void StrokeMove(benchmark::State& state, double zoom, int blendMode) {
    CCanvasWnd& canvas = Canvas();
    canvas.SetZoom(zoom);
    CAppState& app = AppState();
    app.ChooseTool(kToolPaintBrush);
    CBrush brush;
    brush.size = 60;
    brush.blur = 4;
    brush.pressureMode = 0;
    app.painting.SelectBrush(brush);
    app.painting.blendMode = blendMode;
    QWidget* viewport = canvas.viewport();
    auto send = [viewport](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    };
    const int y = viewport->height() / 2, x0 = viewport->width() / 2 - 200;
    send(QEvent::MouseButtonPress, {x0, y});
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const int k = step++ % 50;
        const int x = x0 + 16 * (k < 25 ? k : 50 - k);
        send(QEvent::MouseMove, {x, y + (step & 1)});
        QCoreApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, {x0, y});
    QCoreApplication::processEvents();
    app.painting.blendMode = 0;
    // A stroke that laid nothing would measure nothing.
    if (!canvas.Model().CanUndo()) state.SkipWithError("the stroke did not paint");
}

void BM_StrokeMoveZoom1(benchmark::State& s) {
    StrokeMove(s, 1.0, 0);
}
void BM_StrokeMoveZoom025(benchmark::State& s) {
    StrokeMove(s, 0.25, 0);
}
void BM_StrokeMoveEdgeSmartZoom1(benchmark::State& s) {
    StrokeMove(s, 1.0, 1);
}

BENCHMARK(BM_FullWindowZoom1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWindowZoom03)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExposedRectZoom1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExposedRectZoom03)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeMoveZoom1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeMoveZoom025)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeMoveEdgeSmartZoom1)->Unit(benchmark::kMicrosecond);

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
