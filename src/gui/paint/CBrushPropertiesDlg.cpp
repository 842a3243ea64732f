#include "gui/paint/CBrushPropertiesDlg.h"

#include "core/base/RuntimeRandom.h"
#include "core/paint/BrushPictures.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/ImageHose.h"
#include "core/paint/TextureSources.h"
#include "gui/app/CTessaryApp.h"
#include "gui/image/PictureDrawing.h"
#include "gui/paint/CImageHoseDlg.h"
#include "gui/paint/CScratchPad.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
QSlider* MakeSlider(int minimum, int maximum) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setRange(minimum, maximum);
    return s;
}
} // namespace

CBrushPropertiesDlg::CBrushPropertiesDlg(const CBrush& brush, QWidget* parent)
    : QDialog(parent), m_brush(brush) {
    setWindowTitle("Brush Properties");
    setObjectName("brushPropertiesDlg");
    m_name = new QLineEdit;
    m_size = MakeSlider(1, 60);
    m_blur = MakeSlider(0, 60);
    m_spacing = MakeSlider(1, 200);
    m_sizeText = new QLineEdit;
    m_blurText = new QLineEdit;
    m_spacingText = new QLineEdit;
    for (QLineEdit* e : {m_sizeText, m_blurText, m_spacingText}) e->setMaximumWidth(50);
    m_sizeText->setValidator(new QIntValidator(1, 60, this));
    m_spacingText->setValidator(new QIntValidator(1, 200, this));
    m_spacingOn = new QCheckBox("%");
    m_overlay = new QCheckBox("Color Overlay");
    m_autoGenerate = new QCheckBox("Auto Generate");
    m_pressure = new QComboBox;
    for (int i = 0; i < kPressureModeCount; ++i) m_pressure->addItem(PressureModeLabel(i));
    m_loadImage = new QPushButton("Load...");
    m_loadMask = new QPushButton("Load Mask...");
    m_negative = new QCheckBox("Load Negative");
    m_loadPreview = new QPushButton("Load");
    m_pastePreview = new QPushButton("&P");
    m_maskSize = new QLabel;
    m_preview = new QLabel;
    m_preview->setFixedSize(100, 100);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::Panel);
    m_pad = new CScratchPad;

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Name"), 0, 0);
    fields->addWidget(m_name, 0, 1, 1, 3);
    fields->addWidget(new QLabel("Size"), 1, 0);
    fields->addWidget(m_sizeText, 1, 1);
    fields->addWidget(m_size, 1, 2, 1, 2);
    fields->addWidget(new QLabel("Blur"), 2, 0);
    fields->addWidget(m_blurText, 2, 1);
    fields->addWidget(m_blur, 2, 2, 1, 2);
    fields->addWidget(new QLabel("Spacing"), 3, 0);
    fields->addWidget(m_spacingText, 3, 1);
    fields->addWidget(m_spacing, 3, 2);
    fields->addWidget(m_spacingOn, 3, 3);
    fields->addWidget(new QLabel("Presure Sensitivity"), 4, 0);
    fields->addWidget(m_pressure, 4, 1, 1, 3);

    auto* typeBox = new QGroupBox("Type");
    auto* typeLayout = new QVBoxLayout(typeBox);
    m_type = new QButtonGroup(this);
    for (int t = kBrushCircular; t <= kBrushImageHose; ++t) {
        auto* radio = new QRadioButton(BrushTypeLabel(t));
        m_type->addButton(radio, t);
        typeLayout->addWidget(radio);
    }
    typeLayout->addWidget(m_overlay);
    typeLayout->addWidget(m_autoGenerate);

    auto* loads = new QVBoxLayout;
    loads->addWidget(m_loadImage);
    loads->addWidget(m_loadMask);
    loads->addWidget(m_negative);
    auto* previewRow = new QHBoxLayout;
    previewRow->addWidget(m_loadPreview);
    previewRow->addWidget(m_pastePreview);
    loads->addLayout(previewRow);
    auto* apply = new QPushButton("APPLY");
    loads->addWidget(apply);
    loads->addWidget(m_maskSize);
    loads->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(typeBox);
    middle->addLayout(loads);
    middle->addWidget(m_preview, 0, Qt::AlignTop);

    auto* padBox = new QGroupBox("Scratch Pad");
    auto* padLayout = new QHBoxLayout(padBox);
    padLayout->addWidget(m_pad);
    auto* padControls = new QVBoxLayout;
    auto* clear = new QPushButton("Clear");
    auto* padOpacity = new QSlider(Qt::Vertical);
    padOpacity->setRange(0, 255);
    padOpacity->setValue(255);
    padOpacity->setToolTip("Opacity on the scratch pad");
    padControls->addWidget(clear);
    padControls->addWidget(padOpacity, 1, Qt::AlignHCenter);
    padLayout->addLayout(padControls);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(middle);
    layout->addWidget(padBox);
    layout->addWidget(buttons);

    // Sliders and fields follow each other.
    connect(m_size, &QSlider::valueChanged, this,
            [this](int v) { m_sizeText->setText(QString::number(v)); });
    connect(m_blur, &QSlider::valueChanged, this,
            [this](int v) { m_blurText->setText(QString::number(v * 0.5)); });
    connect(m_spacing, &QSlider::valueChanged, this,
            [this](int v) { m_spacingText->setText(QString::number(v)); });
    connect(m_sizeText, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_size->setValue(t.toInt()); });
    connect(m_blurText, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_blur->setValue(int(t.toDouble() * 2)); });
    connect(m_spacingText, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_spacing->setValue(t.toInt()); });
    connect(m_spacingOn, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(m_autoGenerate, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(m_type, &QButtonGroup::idClicked, this, [this](int type) {
        if (type == kBrushBitmap) m_overlay->setChecked(false);
        UpdateEnabling();
    });
    connect(apply, &QPushButton::clicked, this, &CBrushPropertiesDlg::ApplyFields);
    connect(clear, &QPushButton::clicked, m_pad, &CScratchPad::Clear);
    connect(padOpacity, &QSlider::valueChanged, m_pad, &CScratchPad::SetOpacity);
    connect(m_loadImage, &QPushButton::clicked, this, [this] {
        if (m_type->checkedId() == kBrushImageHose) {
            EditImageHose();
            return;
        }
        CDIBSection2 picture;
        bool alpha = false;
        if (!LoadPicture(picture, &alpha)) return;
        LoadBrushPicture(m_brush, picture, alpha);
        ApplyFields();
    });
    connect(m_loadMask, &QPushButton::clicked, this, [this] {
        CDIBSection2 picture;
        if (!LoadPicture(picture)) return;
        LoadBrushMask(m_brush, picture, m_negative->isChecked());
        ApplyFields();
    });
    connect(m_loadPreview, &QPushButton::clicked, this, [this] {
        CDIBSection2 picture;
        if (!LoadPicture(picture)) return;
        SetBrushPreview(m_brush, picture);
        ShowFields();
    });
    connect(m_pastePreview, &QPushButton::clicked, this, [this] {
        if (m_autoGenerate->isChecked()) return;
        const QImage image = QApplication::clipboard()->image();
        if (image.isNull()) return;
        CDIBSection2 picture;
        ImageToPicture(image, picture);
        SetBrushPreview(m_brush, picture);
        ShowFields();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CBrushPropertiesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ShowFields();
    m_pad->SetBrush(m_brush);
}

void CBrushPropertiesDlg::ShowFields() {
    m_name->setText(QString::fromStdString(m_brush.name));
    m_size->setValue(m_brush.size);
    m_sizeText->setText(QString::number(m_brush.size));
    m_blur->setValue(int(m_brush.blur * 2 + 0.5));
    m_blurText->setText(QString::number(m_brush.blur));
    const int percent = int(m_brush.spacing * 100 + 0.5);
    m_spacing->setValue(percent);
    m_spacingText->setText(QString::number(percent));
    m_spacingOn->setChecked(m_brush.spacingOn != 0);
    if (QAbstractButton* b = m_type->button(m_brush.type)) b->setChecked(true);
    m_overlay->setChecked(m_brush.colorOverlay != 0);
    m_autoGenerate->setChecked(m_brush.autoGenerate != 0);
    m_pressure->setCurrentIndex(m_brush.pressureMode);
    m_maskSize->setText(
        QString::asprintf("(%d,%d)", m_brush.mask.GetWidth(), m_brush.mask.GetHeight()));
    if (!m_brush.preview.IsEmpty())
        m_preview->setPixmap(QPixmap::fromImage(PictureToImage(m_brush.preview)));
    else
        m_preview->clear();
    UpdateEnabling();
}

void CBrushPropertiesDlg::UpdateEnabling() {
    const int type = m_type->checkedId();
    const bool drawn = type == kBrushCircular || type == kBrushRectangular;
    for (QWidget* w : {static_cast<QWidget*>(m_size), static_cast<QWidget*>(m_sizeText),
                       static_cast<QWidget*>(m_blur), static_cast<QWidget*>(m_blurText)})
        w->setEnabled(drawn);
    m_spacing->setEnabled(m_spacingOn->isChecked());
    m_spacingText->setEnabled(m_spacingOn->isChecked());
    m_overlay->setEnabled(type == kBrushImage || type == kBrushImageHose);
    // "Load..." loads the picture of an "Image Brush"; for an "Image Hose" it opens the
    // editor of its frames.
    m_loadImage->setText(type == kBrushImageHose ? "Settings" : "Load...");
    m_loadImage->setEnabled(type == kBrushImage || type == kBrushImageHose);
    m_loadMask->setEnabled(type == kBrushBitmap || type == kBrushImage);
    m_negative->setEnabled(m_loadMask->isEnabled());
    m_loadPreview->setEnabled(!m_autoGenerate->isChecked());
    m_pastePreview->setEnabled(!m_autoGenerate->isChecked());
}

void CBrushPropertiesDlg::ApplyFields() {
    m_brush.name = m_name->text().toStdString();
    m_brush.size = m_size->value();
    m_brush.blur = m_blur->value() * 0.5;
    m_brush.spacing = m_spacing->value() * 0.01;
    m_brush.spacingCopy = m_brush.spacing;
    m_brush.spacingOn = m_spacingOn->isChecked() ? 1 : 0;
    m_brush.type = std::max(0, m_type->checkedId());
    m_brush.colorOverlay = m_overlay->isChecked() ? 1 : 0;
    m_brush.autoGenerate = m_autoGenerate->isChecked() ? 1 : 0;
    m_brush.pressureMode = m_pressure->currentIndex();
    GenerateStamp(m_brush, 100);
    ShowFields();
    m_pad->SetBrush(m_brush);
}

void CBrushPropertiesDlg::EditImageHose() {
    CTessaryApp* app = CTessaryApp::Instance();
    CImageHoseDlg editor(m_brush, app ? &app->Store() : nullptr, this);
    if (editor.exec() != QDialog::Accepted) return;
    CBrush edited = editor.Brush(); // a deep copy
    m_brush.hoseFrames = std::move(edited.hoseFrames);
    m_brush.hoseMode = edited.hoseMode;
    m_brush.hoseCursor = edited.hoseCursor;
    // The mask shows the frame the next dab lays, at the size of the largest frame.
    SetMaskFromHose(m_brush, ProgramRandom());
    ApplyFields();
}

void CBrushPropertiesDlg::accept() {
    ApplyFields();
    QDialog::accept();
}

bool CBrushPropertiesDlg::LoadPicture(CDIBSection2& picture, bool* hasAlpha) {
    const QString path = QFileDialog::getOpenFileName(
        this, "Load image file", QString(),
        "Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff *.tga *.pcx);;All files (*)");
    if (path.isEmpty()) return false;
    // Pictures with their own alpha keep it; the core's reader gives the colours of
    // the others.
    const QImage image(path);
    if (!image.isNull() && image.hasAlphaChannel()) {
        ImageToPicture(image, picture);
        if (hasAlpha) *hasAlpha = true;
        return !picture.IsEmpty();
    }
    if (hasAlpha) *hasAlpha = false;
    return ReadTexturePicture(path.toStdString(), picture);
}

} // namespace quiltara::gui
