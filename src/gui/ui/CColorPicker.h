#pragma once
#include "core/base/ColorRef.h"
#include "core/base/ControlMath.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

namespace quiltara::gui {

/// The foreground and background colour wells with a swap button, and a picking field:
/// a spectrum of hues against lightness, or (palette mode) a palette picture stepped
/// through with two small arrows. The left button picks the foreground, the right
/// button the background; a click on a well opens the colour dialog. The parent is
/// told with choiceEnded when a choice ends.
class CColorPicker : public QWidget {
    Q_OBJECT
public:
    explicit CColorPicker(QWidget* parent = nullptr);

    ColorRef ForeColor() const { return m_fore; }
    ColorRef BackColor() const { return m_back; }
    /// Colours given from outside; no notification.
    void SetColors(ColorRef fore, ColorRef back);
    void SetSingleColourMode(bool single);
    /// Palette mode with the list of palette pictures (empty: the spectrum).
    void SetPaletteFiles(const QStringList& files);
    int PaletteIndex() const { return m_paletteIndex; }
    /// The value the notification carries.
    void SetNotificationValue(int value) { m_notificationValue = value; }
    /// The layout the arithmetic uses (client size, palette mode).
    CColorPickerLayout Layout() const;

    QSize sizeHint() const override { return {200, 52}; }
    QSize minimumSizeHint() const override { return {80, 52}; }

signals:
    /// A choice ended (end scroll); value is the notification value.
    void choiceEnded(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PickAt(const QPoint& pt);
    void StepPalette(int delta);
    void RebuildField();
    void UpdateCursorAt(const QPoint& pt);
    bool ChooseWithDialog(ColorRef& colour);

    ColorRef m_fore = 0xFFFFFF;
    ColorRef m_back = 0x000000;
    bool m_single = false;
    bool m_paletteMode = false;
    QStringList m_paletteFiles;
    int m_paletteIndex = 0;
    QImage m_palette;
    QImage m_field;    // the spectrum as drawn, for the paint events
    int m_picking = 0; // 0 none, 1 foreground, 2 background
    bool m_swapPressed = false;
    int m_notificationValue = 0;
};

} // namespace quiltara::gui
