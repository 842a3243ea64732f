#pragma once
#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>

namespace quiltara::gui {

/// A histogram of 256 bins drawn as bars, scaled to its fullest bin.
class CHistogramDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CHistogramDisplay(QWidget* parent = nullptr);
    void SetHistogram(const std::array<std::uint64_t, 256>& bins, const QColor& colour);
    QSize sizeHint() const override { return {260, 100}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::uint64_t, 256> m_bins{};
    QColor m_colour = Qt::black;
};

} // namespace quiltara::gui
