#include "gui/tiling/CAutoTextureDlg.h"

#include "core/tiling/AutoTexture.h"
#include "core/tiling/TileSliders.h"
#include "gui/image/PictureDrawing.h"
#include "gui/ui/CValueSlider.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <new>

namespace quiltara::gui {

/// The image around the point with the sampled window, and the texture repeated.
class CAutoTextureDlg::CPreview : public QWidget {
public:
    explicit CPreview(CAutoTextureDlg* owner) : m_owner(owner) {
        setFixedSize(360, 200);
        setCursor(Qt::SizeAllCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::darkGray);
        const QRect left(0, 0, 200, 200), right(210, 25, 150, 150);
        // The image centred on the point.
        const int h = m_owner->m_image.GetHeight();
        const int cx = m_owner->m_x, cy = h - 1 - m_owner->m_row;
        p.setClipRect(left);
        p.drawImage(QPoint(100 - cx, 100 - cy), m_owner->m_picture);
        const TextureWindow w = TextureWindowFor(
            m_owner->m_size->Value(), m_owner->m_ratio->Value(), m_owner->m_double->isChecked());
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.drawRect(100 - w.width / 2, 100 - w.height / 2, w.width, w.height);
        p.setClipRect(right);
        if (!m_owner->m_texture.IsEmpty()) {
            const QImage tile = PictureToImage(m_owner->m_texture);
            p.fillRect(right, QBrush(tile));
        }
    }
    void mousePressEvent(QMouseEvent* event) override { m_last = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton)) return;
        const QPoint pt = event->position().toPoint();
        const QPoint d = pt - m_last;
        m_last = pt;
        // The picture moves with the mouse, so the point moves the other way.
        m_owner->MovePoint(m_owner->m_x - d.x(), m_owner->m_row + d.y());
    }

private:
    CAutoTextureDlg* m_owner;
    QPoint m_last;
};

CAutoTextureDlg::CAutoTextureDlg(const CDIBSection2& image, int x, int bufferRow,
                                 CDIBSection2& texture, QWidget* parent)
    : QDialog(parent), m_image(image), m_texture(texture), m_x(x), m_row(bufferRow) {
    setWindowTitle("Auto Texture Maker");
    setObjectName("autoTextureDlg");
    m_picture = PictureToImage(image);
    m_size = new CValueSlider;
    m_size->setObjectName("sizeSlider");
    m_size->SetRange(kTextureSizeMin, kTextureSizeMax);
    m_size->SetValue(kTexturePickSize);
    m_size->SetShowValue(true);
    m_ratio = new CValueSlider;
    m_ratio->setObjectName("ratioSlider");
    m_ratio->SetRange(kTextureYRatioMin, kTextureYRatioMax);
    m_ratio->SetValue(kTextureYRatioSquare);
    m_ratio->SetColourMode(CValueSlider::kSymmetric);
    m_double = new QCheckBox("x 2");
    auto* square = new QPushButton("Square Tile");
    m_width = new QLineEdit;
    m_height = new QLineEdit;
    for (QLineEdit* e : {m_width, m_height}) {
        e->setReadOnly(true);
        e->setMaximumWidth(60);
    }
    m_preview = new CPreview(this);

    auto* form = new QFormLayout;
    form->addRow("Size", m_size);
    form->addRow("Y Ratio", m_ratio);
    auto* row = new QHBoxLayout;
    row->addWidget(m_double);
    row->addWidget(square);
    row->addStretch(1);
    row->addWidget(new QLabel("Width"));
    row->addWidget(m_width);
    row->addWidget(new QLabel("Height"));
    row->addWidget(m_height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addLayout(form);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(m_size, &CValueSlider::scrolled, this, [this] { MakeTexture(); });
    connect(m_ratio, &CValueSlider::scrolled, this, [this] { MakeTexture(); });
    connect(m_double, &QCheckBox::toggled, this, [this] { MakeTexture(); });
    connect(square, &QPushButton::clicked, this, [this] {
        m_ratio->SetValue(kTextureYRatioSquare);
        MakeTexture();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    MakeTexture();
}

void CAutoTextureDlg::MovePoint(int x, int bufferRow) {
    const int w = m_image.GetWidth(), h = m_image.GetHeight();
    if (w <= 0 || h <= 0) return;
    m_x = ((x % w) + w) % w;
    m_row = ((bufferRow % h) + h) % h;
    MakeTexture();
}

void CAutoTextureDlg::MakeTexture() {
    if (m_image.IsEmpty()) return;
    const TextureWindow window =
        TextureWindowFor(m_size->Value(), m_ratio->Value(), m_double->isChecked());
    try {
        MakeAutoTexture(m_image, m_x, m_row, window, m_texture);
    } catch (const std::bad_alloc&) {
        return; // the texture stays as it was
    }
    m_width->setText(QString::number(m_texture.GetWidth()));
    m_height->setText(QString::number(m_texture.GetHeight()));
    m_preview->update();
    emit textureMade();
}

} // namespace quiltara::gui
