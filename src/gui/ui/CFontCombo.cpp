#include "gui/ui/CFontCombo.h"

#include "core/image/FontRaster.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

namespace quiltara::gui {

namespace {

constexpr int kItemHeight = 40;
constexpr int kFontRole = Qt::UserRole + 1;

// Draws an item: the face name in the label font, then a sample in the font itself.
class FontItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {std::max(option.rect.width(), 160), kItemHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        painter->save();
        painter->fillRect(r, selected ? QColor(0xC0, 0x80, 0x80) : QColor(Qt::white));
        QFont label("Arial");
        label.setStyleHint(QFont::SansSerif);
        label.setPixelSize(10);
        painter->setFont(label);
        painter->setPen(QColor(0, 0, 255));
        painter->drawText(QRect(r.left() + 3, r.top(), r.width() - 3, 12),
                          Qt::AlignLeft | Qt::AlignTop, index.data(Qt::DisplayRole).toString());
        painter->setFont(index.data(kFontRole).value<QFont>());
        painter->setPen(selected ? Qt::white : Qt::black);
        painter->drawText(QRect(r.left() + 3, r.top() + 12, r.width() - 3, kItemHeight - 12),
                          Qt::AlignLeft | Qt::AlignTop, QStringLiteral("ABCDabcd"));
        painter->restore();
    }
};

} // namespace

CFontCombo::CFontCombo(QWidget* parent, bool fillLater) : QComboBox(parent) {
    setObjectName("fontCombo");
    setItemDelegate(new FontItemDelegate(this));
    setMinimumWidth(180);
    if (fillLater) QTimer::singleShot(0, this, [this] { Fill(); });
}

void CFontCombo::Fill() {
    if (m_filled) return;
    const QString keep = SelectedFace();
    clear();
    for (const std::string& family : InstalledFontFamilies()) {
        const QString face = QString::fromStdString(family);
        QFont font(face);
        font.setPointSize(15);
        addItem(face);
        setItemData(count() - 1, font, kFontRole);
    }
    m_filled = true;
    if (!keep.isEmpty()) SelectFace(keep);
}

int CFontCombo::SelectedFont(QFont& font) const {
    const int index = currentIndex();
    if (index < 0) return -1;
    font = itemData(index, kFontRole).value<QFont>();
    return index;
}

bool CFontCombo::SelectFace(const QString& face) {
    if (!m_filled) Fill();
    const int index = findText(face, Qt::MatchFixedString);
    if (index < 0) return false;
    setCurrentIndex(index);
    return true;
}

} // namespace quiltara::gui
