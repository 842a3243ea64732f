#pragma once
#include "core/base/ColorRef.h"

#include <QWidget>

namespace quiltara::gui {

/// The program's own horizontal slider: a track in a base colour that deepens with
/// the value, tick marks and a round shaded thumb. It reports like a scroll bar: a
/// code (thumb track while dragging, end scroll once a drag that moved ends or an
/// arrow key is let go) with the current value. The keys wrap around at the ends.
class CValueSlider : public QWidget {
    Q_OBJECT
public:
    enum ScrollCode {
        kLineLeft = 0,
        kLineRight = 1,
        kPageLeft = 2,
        kPageRight = 3,
        kThumbTrack = 5,
        kEndScroll = 8
    };
    enum ColourMode { kPlain, kInverted, kSymmetric };

    explicit CValueSlider(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum); // the value is clamped into it
    void SetValue(int value);                // clamped; no notification
    int Value() const { return m_value; }
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    void SetLineSize(int size) { m_lineSize = size; }
    void SetPageSize(int size) { m_pageSize = size; }
    void SetBaseColour(ColorRef colour);
    ColorRef BaseColour() const { return m_baseColour; }
    void SetColourMode(ColourMode mode);
    /// 1: thumb in the base colour; 0: in 0x8080C0; other: button face.
    void SetThumbStyle(int style);
    /// Prints the value above the thumb.
    void SetShowValue(bool show);

    /// The value under a client x (the same arithmetic the mouse uses).
    int ValueAt(int x) const;
    /// The client x of the thumb's centre for a value.
    int PositionOf(int value) const;

    QSize sizeHint() const override { return {160, 22}; }
    QSize minimumSizeHint() const override { return {40, 22}; }

signals:
    /// code is one of ScrollCode; value the value after the change.
    void scrolled(int code, int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Notify(int code) { emit scrolled(code, m_value); }
    /// Changes the value from the mouse; true when it changed.
    bool TrackTo(int x);
    int TrackTop() const;

    int m_minimum = 0;
    int m_maximum = 255;
    int m_value = 0;
    int m_lineSize = 1;
    int m_pageSize = 10;
    int m_margin = 6;
    ColorRef m_baseColour = MakeColorRef(255, 255, 255);
    ColourMode m_colourMode = kPlain;
    int m_thumbStyle = 2;
    bool m_showValue = false;
    bool m_dragging = false;
    bool m_moved = false;
};

} // namespace quiltara::gui
