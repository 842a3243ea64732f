#include "gui/ui/CSplashWnd.h"

#include "gui/ui/ToolIcons.h"

#include <QApplication>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace quiltara::gui {

namespace {
constexpr int kSplashMilliseconds = 750;
}

QPixmap CSplashWnd::SplashArt() {
    const QSize size(440, 250);
    QPixmap art(size);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    // A quilt of small squares in earth colours, each row shifted by half a square: the
    // kind of pattern the program makes seamless.
    const QColor patches[] = {QColor(164, 112, 74), QColor(196, 156, 104), QColor(120, 132, 96),
                              QColor(86, 104, 128), QColor(178, 132, 86)};
    constexpr int cell = 22;
    for (int row = 0; row * cell < size.height(); ++row)
        for (int col = -1; col * cell < size.width(); ++col) {
            const int x = col * cell + (row % 2) * cell / 2;
            p.fillRect(x, row * cell, cell, cell, patches[(row * 3 + col * 2 + 10) % 5]);
        }
    QPen stitch(QColor(250, 240, 220, 120), 1, Qt::DashLine);
    p.setPen(stitch);
    for (int y = cell; y < size.height(); y += cell) p.drawLine(0, y, size.width(), y);
    // The title plate.
    const QRectF plate(40, 70, size.width() - 80, 110);
    QLinearGradient shade(plate.topLeft(), plate.bottomLeft());
    shade.setColorAt(0, QColor(250, 246, 238, 235));
    shade.setColorAt(1, QColor(228, 220, 206, 235));
    p.setPen(QPen(QColor(70, 60, 50), 1.5));
    p.setBrush(shade);
    p.drawRoundedRect(plate, 10, 10);
    ProgramIcon().paint(&p, QRect(int(plate.left()) + 18, int(plate.top()) + 23, 64, 64));
    QFont title = p.font();
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(60, 50, 42));
    p.drawText(plate.adjusted(96, 14, -10, -50), Qt::AlignLeft | Qt::AlignVCenter, "Quiltara");
    QFont line = p.font();
    line.setPixelSize(14);
    line.setBold(false);
    p.setFont(line);
    p.drawText(plate.adjusted(98, 62, -10, -14), Qt::AlignLeft | Qt::AlignVCenter,
               QString("Seamless textures  ·  %1").arg(QApplication::applicationVersion()));
    p.setPen(QColor(40, 34, 28));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return art;
}

CSplashWnd::CSplashWnd(QWidget* mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_mainWindow(mainWindow), m_art(SplashArt()) {
    setObjectName("splash");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(m_art.size());
    QScreen* screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->geometry().center() - rect().center());
    qApp->installEventFilter(this);
    QTimer::singleShot(kSplashMilliseconds, this, &CSplashWnd::Finish);
}

CSplashWnd* CSplashWnd::ShowSplash(QWidget* mainWindow) {
    auto* splash = new CSplashWnd(mainWindow);
    splash->show();
    return splash;
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        // Any key or button ends the picture; the press still goes where it was meant.
        QTimer::singleShot(0, this, &CSplashWnd::Finish);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CSplashWnd::Finish() {
    if (m_done) return;
    m_done = true;
    qApp->removeEventFilter(this);
    QPointer<QWidget> mainWindow = m_mainWindow;
    close();
    if (mainWindow) mainWindow->update();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, m_art);
}

} // namespace quiltara::gui
