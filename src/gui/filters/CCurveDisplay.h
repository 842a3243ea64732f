#pragma once
#include "core/filters/ChannelLut.h"

#include <QWidget>

namespace quiltara::gui {

/// Shows the tone curves of an adjustment: red, green and blue tables in their colours,
/// or one black curve when all three are the same.
class CCurveDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CCurveDisplay(QWidget* parent = nullptr);
    void SetLut(const ChannelLut& lut);
    const ChannelLut& Lut() const { return m_lut; }
    QSize sizeHint() const override { return {132, 132}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChannelLut m_lut;
};

} // namespace quiltara::gui
