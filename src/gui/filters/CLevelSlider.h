#pragma once
#include <QWidget>
#include <vector>

namespace quiltara::gui {

/// The level sliders of "Levels": a grey ramp with two or three triangular handles
/// (black, [midtone,] white) at values 0..255. A handle cannot pass its neighbours.
class CLevelSlider : public QWidget {
    Q_OBJECT
public:
    /// handles: 3 for the input slider (black, midtone, white), 2 for the output.
    explicit CLevelSlider(int handles, QWidget* parent = nullptr);
    int HandleCount() const { return int(m_values.size()); }
    int Value(int handle) const { return m_values[std::size_t(handle)]; }
    /// Places a handle without notification (clamped to 0..255).
    void SetValue(int handle, int value);
    /// The client x of a value and back.
    int XOf(int value) const;
    int ValueAt(int x) const;
    QSize sizeHint() const override { return {268, 26}; }

signals:
    /// A handle moved under the mouse.
    void handleMoved(int handle, int value);
    /// The mouse let a handle go after moving it.
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<int> m_values;
    int m_dragged = -1;
    bool m_moved = false;
};

} // namespace quiltara::gui
