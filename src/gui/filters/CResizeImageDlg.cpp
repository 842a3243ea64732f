#include "gui/filters/CResizeImageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quiltara::gui {

/// The up and down arrows beside a field: they step its number within a range while
/// typing stays free of it.
class CSpinArrows : public QWidget {
public:
    CSpinArrows(std::function<void(int)> step, QWidget* parent = nullptr) : QWidget(parent) {
        auto* up = new QToolButton;
        auto* down = new QToolButton;
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setFixedSize(16, 11);
        }
        up->setObjectName("up");
        down->setObjectName("down");
        connect(up, &QToolButton::clicked, this, [step] { step(1); });
        connect(down, &QToolButton::clicked, this, [step] { step(-1); });
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(up);
        layout->addWidget(down);
    }
};

namespace {
QString PercentText(double percent) {
    return QString::number(percent, 'g', 6);
}
// The next whole percent up or down from a value that may lie between two.
double NextWhole(double percent, int step) {
    return step > 0 ? std::floor(percent) + 1 : std::ceil(percent) - 1;
}
} // namespace

CResizeImageDlg::CResizeImageDlg(int width, int height, int interpolation, QWidget* parent)
    : QDialog(parent), m_model(width, height) {
    setObjectName("ResizeImageDlg");
    setWindowTitle("Resize Image");
    const char* names[4] = {"width", "height", "widthPercent", "heightPercent"};
    for (int f = 0; f < 4; ++f) {
        m_fields[f] = new QLineEdit;
        m_fields[f]->setObjectName(names[f]);
        m_fields[f]->setFixedWidth(70);
        m_fields[f]->setAlignment(Qt::AlignRight);
        connect(m_fields[f], &QLineEdit::textEdited, this, [this, f] { Typed(Field(f)); });
        m_spins[f] = new CSpinArrows([this, f](int step) { Stepped(Field(f), step); });
        m_spins[f]->setObjectName(QString(names[f]) + "Spin");
    }
    m_preserve = new QCheckBox("Preserve Ratio");
    m_preserve->setObjectName("preserveRatio");
    m_preserve->setChecked(m_model.PreserveRatio());
    connect(m_preserve, &QCheckBox::toggled, this, [this](bool on) {
        m_model.SetPreserveRatio(on);
        m_spins[kHeight]->setVisible(m_model.HeightSpinsVisible());
        m_spins[kHeightPercent]->setVisible(m_model.HeightSpinsVisible());
    });
    m_interpolation = new QComboBox;
    m_interpolation->setObjectName("interpolation");
    m_interpolation->addItems({"Bilinear", "Bicubic"});
    m_interpolation->setCurrentIndex(std::clamp(interpolation, 0, 1));
    m_memory = new QLabel;
    m_memory->setObjectName("memory");
    m_memory->setFrameShape(QFrame::StyledPanel);
    m_memory->setMinimumWidth(260);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Width"), 0, 0);
    grid->addWidget(m_fields[kWidth], 0, 1);
    grid->addWidget(m_spins[kWidth], 0, 2);
    grid->addWidget(new QLabel("pixels"), 0, 3);
    grid->addWidget(m_fields[kWidthPercent], 0, 4);
    grid->addWidget(m_spins[kWidthPercent], 0, 5);
    grid->addWidget(new QLabel("%"), 0, 6);
    grid->addWidget(new QLabel("Height"), 1, 0);
    grid->addWidget(m_fields[kHeight], 1, 1);
    grid->addWidget(m_spins[kHeight], 1, 2);
    grid->addWidget(new QLabel("pixels"), 1, 3);
    grid->addWidget(m_fields[kHeightPercent], 1, 4);
    grid->addWidget(m_spins[kHeightPercent], 1, 5);
    grid->addWidget(new QLabel("%"), 1, 6);
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnMinimumWidth(5, 16);

    auto* interpolationRow = new QHBoxLayout;
    interpolationRow->addWidget(new QLabel("Interpolation:"));
    interpolationRow->addWidget(m_interpolation);
    interpolationRow->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_preserve);
    layout->addLayout(interpolationRow);
    layout->addWidget(m_memory);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_spins[kHeight]->setVisible(m_model.HeightSpinsVisible());
    m_spins[kHeightPercent]->setVisible(m_model.HeightSpinsVisible());
    ShowFields(-1);
}

int CResizeImageDlg::Interpolation() const {
    return m_interpolation->currentIndex();
}

void CResizeImageDlg::Typed(Field field) {
    QLineEdit* box = m_fields[field];
    const QString text = box->text().trimmed();
    bool accepted;
    if (field == kWidth || field == kHeight) {
        bool ok = false;
        const qulonglong v = text.toULongLong(&ok);
        const unsigned value = ok && v <= 0x7FFFFFFFull ? unsigned(v) : 0u;
        accepted = field == kWidth ? m_model.SetWidth(value) : m_model.SetHeight(value);
    } else {
        bool ok = false;
        double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0) v = 0;
        accepted =
            field == kWidthPercent ? m_model.SetWidthPercent(v) : m_model.SetHeightPercent(v);
    }
    // A zero (or nothing readable) selects the text so that the next key replaces it.
    if (!accepted) {
        box->selectAll();
        return;
    }
    ShowFields(field);
}

void CResizeImageDlg::Stepped(Field field, int step) {
    switch (field) {
    case kWidth:
        m_model.SetWidth(unsigned(std::clamp(int(m_model.NewWidth()) + step, m_model.WidthSpinMin(),
                                             m_model.WidthSpinMax())));
        break;
    case kHeight:
        m_model.SetHeight(unsigned(std::clamp(int(m_model.NewHeight()) + step,
                                              m_model.HeightSpinMin(), m_model.HeightSpinMax())));
        break;
    case kWidthPercent:
        m_model.SetWidthPercent(std::clamp(NextWhole(m_model.WidthPercent(), step),
                                           double(CResizeImageModel::kPercentSpinMin),
                                           double(CResizeImageModel::kPercentSpinMax)));
        break;
    case kHeightPercent:
        m_model.SetHeightPercent(std::clamp(NextWhole(m_model.HeightPercent(), step),
                                            double(CResizeImageModel::kPercentSpinMin),
                                            double(CResizeImageModel::kPercentSpinMax)));
        break;
    }
    ShowFields(-1);
}

void CResizeImageDlg::ShowFields(int except) {
    const QString texts[4] = {
        QString::number(m_model.NewWidth()), QString::number(m_model.NewHeight()),
        PercentText(m_model.WidthPercent()), PercentText(m_model.HeightPercent())};
    for (int f = 0; f < 4; ++f)
        if (f != except) m_fields[f]->setText(texts[f]);
    m_memory->setText(QString::fromStdString(m_model.MemoryText()));
}

} // namespace quiltara::gui
