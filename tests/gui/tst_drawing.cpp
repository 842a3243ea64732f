// Drawing pictures with QPainter: orientation, scaling, blending and grabbing.
#include "gui/image/PictureDrawing.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

namespace {
QRgb PictureRgb(const CDIBSection2& p, int x, int y) {
    const std::uint8_t* px = p.GetRow(y) + x * 4;
    return qRgb(px[2], px[1], px[0]);
}
} // namespace

class DrawingTest : public QObject {
    Q_OBJECT
private slots:
    void drawPutsTheTopRowOnTop() {
        CDIBSection2 picture;
        test::MakePatternPicture(picture, 7, 5);
        QImage target(20, 20, QImage::Format_RGB32);
        target.fill(Qt::black);
        QPainter painter(&target);
        Draw(painter, picture, 3, 4);
        painter.end();
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                QCOMPARE(target.pixel(3 + x, 4 + y), PictureRgb(picture, x, y));
        QCOMPARE(target.pixel(2, 4), qRgb(0, 0, 0));
    }

    void drawPartAndStretchDraw() {
        CDIBSection2 picture;
        test::MakePatternPicture(picture, 6, 6);
        QImage target(20, 20, QImage::Format_RGB32);
        target.fill(Qt::black);
        QPainter painter(&target);
        DrawPart(painter, picture, 0, 0, QRect(2, 1, 3, 2)); // picture rows 1 and 2
        StretchDraw(painter, picture, 8, 8, 2.0);
        painter.end();
        QCOMPARE(target.pixel(0, 0), PictureRgb(picture, 2, 1));
        QCOMPARE(target.pixel(2, 1), PictureRgb(picture, 4, 2));
        QCOMPARE(target.pixel(3, 0), qRgb(0, 0, 0));
        // Enlarged two times: each pixel becomes a 2 x 2 block.
        QCOMPARE(target.pixel(8 + 2 * 3, 8 + 2 * 4), PictureRgb(picture, 3, 4));
        QCOMPARE(target.pixel(8 + 2 * 3 + 1, 8 + 2 * 4 + 1), PictureRgb(picture, 3, 4));
    }

    void drawBlendedUsesCoverage() {
        CDIBSection2 picture;
        picture.Create(2, 1, 32, true);
        picture.FillOpaque(MakeColorRef(255, 0, 0));
        picture.PixelAt(1, 0)[3] = 0; // right pixel transparent
        QImage target(2, 1, QImage::Format_RGB32);
        target.fill(qRgb(0, 0, 255));
        QPainter painter(&target);
        DrawBlended(painter, picture, 0, 0);
        painter.end();
        QCOMPARE(target.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(target.pixel(1, 0), qRgb(0, 0, 255));
    }

    void grabAndConversionsRoundTrip() {
        QImage source(9, 4, QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) source.setPixel(x, y, qRgb(x * 20, y * 50, 7));
        CDIBSection2 grabbed;
        GrabFromDC(source, grabbed, 2, 1, 5, 3);
        QCOMPARE(grabbed.GetWidth(), 5);
        QVERIFY(!grabbed.HasAlpha());
        QCOMPARE(PictureRgb(grabbed, 0, 0), source.pixel(2, 1));
        QCOMPARE(PictureRgb(grabbed, 4, 2), source.pixel(6, 3));

        CDIBSection2 picture;
        ImageToPicture(source, picture);
        QCOMPARE(PictureToImage(picture).convertToFormat(QImage::Format_RGB32), source);
    }
};

QTEST_MAIN(DrawingTest)
#include "tst_drawing.moc"
