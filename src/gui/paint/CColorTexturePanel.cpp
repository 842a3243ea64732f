#include "gui/paint/CColorTexturePanel.h"

#include "core/base/ProgramFolders.h"
#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileRoutines.h"
#include "core/paint/TextureSources.h"
#include "gui/app/AppState.h"
#include "gui/image/PictureDrawing.h"
#include "gui/tiling/CAutoTextureDlg.h"
#include "gui/ui/CColorPicker.h"
#include "gui/ui/CValueSlider.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
std::string TexturesFolder() {
    return ProgramFolders().textures;
}
} // namespace

CColorTexturePanel::CColorTexturePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("colorTexturePanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    m_picker = new CColorPicker;
    m_picker->setObjectName("colorPicker");
    // The colours first: every control's change reads them back into the context.
    m_picker->SetColors(AppState().painting.foreColor, AppState().painting.backColor);
    m_picker->setToolTip("Left button: foreground colour, right button: background colour");
    layout->addWidget(m_picker);

    auto* opacityRow = new QHBoxLayout;
    opacityRow->addWidget(new QLabel("Opacity"));
    m_opacity = new CValueSlider;
    m_opacity->setObjectName("opacitySlider");
    m_opacity->SetRange(0, 255);
    m_opacity->SetBaseColour(MakeColorRef(0, 0, 255));
    m_opacity->SetThumbStyle(1);
    opacityRow->addWidget(m_opacity);
    layout->addLayout(opacityRow);

    auto* textureRow = new QHBoxLayout;
    m_textures = new QComboBox;
    m_textures->setObjectName("textureList");
    m_textures->setIconSize(QSize(50, 50));
    m_textures->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_textures->setMinimumContentsLength(10);
    textureRow->addWidget(m_textures, 1);
    m_menu = new QToolButton;
    m_menu->setText("...");
    m_menu->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_menu);
    menu->addAction("Save...", this, &CColorTexturePanel::SaveCustomTexture);
    menu->addAction("Export Custom...", this, &CColorTexturePanel::ExportCustomTexture);
    menu->addAction("Import Custom...", this, &CColorTexturePanel::ImportCustomTexture);
    m_menu->setMenu(menu);
    textureRow->addWidget(m_menu);
    layout->addLayout(textureRow);

    m_strength = new CValueSlider;
    m_strength->setObjectName("strengthSlider");
    m_strength->SetRange(0, 255);
    m_strength->SetBaseColour(MakeColorRef(0, 160, 0));
    m_strength->SetThumbStyle(1);
    m_strength->setToolTip("Texture strength");
    layout->addWidget(m_strength);

    auto* modes = new QHBoxLayout;
    auto mode = [this, modes](const char* text, const char* tip) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setObjectName(QString("mode") + text);
        b->setToolTip(tip);
        b->setCheckable(true);
        modes->addWidget(b);
        connect(b, &QToolButton::toggled, this, [this] { ApplyTexture(false); });
        return b;
    };
    m_screen = mode("Screen", "Lay the texture on as a screen");
    m_foreBack = mode("F-B", "The screen runs from the foreground to the background colour");
    m_align = mode("Align", "The texture keeps its place from stroke to stroke");
    m_centre = mode("CL", "Take one colour per dab from the texture's centre");
    modes->addStretch(1);
    layout->addLayout(modes);

    auto* strip = new QHBoxLayout;
    strip->addWidget(new QLabel("Clone"));
    for (QToolButton*& b : m_clone) {
        b = new QToolButton;
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        strip->addWidget(b);
    }
    strip->addStretch(1);
    layout->addLayout(strip);
    layout->addStretch(1);

    const CPaintingContext& painting = AppState().painting;
    m_strength->SetValue(painting.textureStrength);
    m_align->setChecked(painting.textureAligned);
    m_screen->setChecked(painting.textureMode >= 1);
    m_foreBack->setChecked(painting.textureMode == 2);
    m_centre->setChecked(painting.centreSampling);
    RebuildTextureList();
    Refresh();

    connect(m_picker, &CColorPicker::choiceEnded, this, [this] {
        Apply();
        emit colorsChanged();
    });
    connect(m_opacity, &CValueSlider::scrolled, this,
            [](int, int value) { AppState().painting.opacity = value; });
    connect(m_strength, &CValueSlider::scrolled, this, [this] { ApplyTexture(false); });
    connect(m_textures, &QComboBox::currentIndexChanged, this, [this] { ApplyTexture(true); });
}

QToolButton* CColorTexturePanel::ModeButton(const char* label) const {
    const QString l(label);
    if (l == "Screen") return m_screen;
    if (l == "F-B") return m_foreBack;
    if (l == "Align") return m_align;
    if (l == "CL") return m_centre;
    return nullptr;
}

void CColorTexturePanel::SetCloneActions(QAction* none, QAction* texture, QAction* original) {
    QAction* actions[3] = {none, texture, original};
    const char* labels[3] = {"Color", "Texture", "Original"};
    for (int i = 0; i < 3; ++i) {
        if (!actions[i]) continue;
        actions[i]->setCheckable(true);
        m_clone[i]->setDefaultAction(actions[i]);
        m_clone[i]->setText(labels[i]);
    }
}

void CColorTexturePanel::Refresh() {
    const CPaintingContext& painting = AppState().painting;
    m_picker->SetColors(painting.foreColor, painting.backColor);
    m_opacity->SetValue(painting.opacity);
    for (int i = 0; i < 3; ++i)
        if (QAction* a = m_clone[i]->defaultAction()) a->setChecked(painting.cloneSourceKind == i);
}

void CColorTexturePanel::RebuildTextureList() {
    const QString shown = m_textures->currentText();
    const QSignalBlocker block(m_textures);
    m_textures->clear();
    const std::string folder = TexturesFolder();
    for (const std::string& name : TextureListNames(folder)) {
        QIcon icon;
        CDIBSection2 picture;
        if (name == kCustomTextureEntry) {
            if (!AppState().painting.customTexture.IsEmpty())
                icon = QIcon(QPixmap::fromImage(
                    PictureToImage(AppState().painting.customTexture).scaled(50, 50)));
        } else if (name != kNoTextureEntry && ReadTexturePicture(folder + name, picture)) {
            icon = QIcon(QPixmap::fromImage(PictureToImage(picture).scaled(50, 50)));
        }
        m_textures->addItem(icon, QString::fromStdString(name));
    }
    const int again = m_textures->findText(shown);
    m_textures->setCurrentIndex(std::max(0, again));
    ShowTextureControls();
}

void CColorTexturePanel::ShowTextureControls() {
    const bool any = m_textures->currentIndex() > 0;
    for (QWidget* w : {static_cast<QWidget*>(m_strength), static_cast<QWidget*>(m_screen),
                       static_cast<QWidget*>(m_foreBack), static_cast<QWidget*>(m_align)})
        w->setVisible(any);
    m_foreBack->setEnabled(m_screen->isChecked());
}

void CColorTexturePanel::Apply() {
    ApplyTexture(false);
}

void CColorTexturePanel::ApplyTexture(bool reload) {
    CPaintingContext& painting = AppState().painting;
    CTextureBarState bar;
    bar.listIndex = m_textures->currentIndex();
    bar.entry = m_textures->currentText().toStdString();
    bar.reload = reload;
    bar.strength = m_strength->Value();
    bar.screen = m_screen->isChecked();
    bar.foreBack = m_foreBack->isChecked();
    bar.align = m_align->isChecked();
    bar.centre = m_centre->isChecked();
    bar.foreColor = m_picker->ForeColor();
    bar.backColor = m_picker->BackColor();
    const bool centreChanged = ApplyTextureBar(bar, painting, TexturesFolder());
    ShowTextureControls();
    if (centreChanged) emit centreSamplingChanged();
}

void CColorTexturePanel::SelectCustomTexture() {
    const int last = m_textures->count() - 1;
    const QSignalBlocker block(m_textures);
    m_textures->setCurrentIndex(last);
    if (!AppState().painting.customTexture.IsEmpty())
        m_textures->setItemIcon(
            last, QIcon(QPixmap::fromImage(
                      PictureToImage(AppState().painting.customTexture).scaled(50, 50))));
    ApplyTexture(true);
}

void CColorTexturePanel::ResetTexture() {
    const QSignalBlocker block(m_textures);
    m_textures->setCurrentIndex(0);
    ApplyTexture(true);
}

void CColorTexturePanel::RunAutoTextureMaker(const CDIBSection2& image, int x, int bufferRow) {
    CAutoTextureDlg dialog(image, x, bufferRow, AppState().painting.customTexture, this);
    connect(&dialog, &CAutoTextureDlg::textureMade, this, &CColorTexturePanel::SelectCustomTexture);
    SelectCustomTexture();
    dialog.exec();
}

void CColorTexturePanel::SaveCustomTexture() {
    const CDIBSection2& custom = AppState().painting.customTexture;
    if (custom.IsEmpty()) {
        QMessageBox::information(this, "Quiltara", kNoCustomTextureText);
        return;
    }
    bool ok = false;
    const QString name = QInputDialog::getText(this, kTextureNameTitle, kTextureNamePrompt,
                                               QLineEdit::Normal, kProposedTextureName, &ok);
    if (!ok || name.trimmed().isEmpty()) return;
    QDir().mkpath(QString::fromStdString(TexturesFolder()));
    const std::string path = CustomTextureSavePath(TexturesFolder(), name.toStdString());
    CNullProgress progress;
    const SaveResult saved = SavePictureFile(custom, path, 90, progress);
    if (!saved.ok) {
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(saved.message));
        return;
    }
    RebuildTextureList();
    const QString file = QString::fromStdString(path.substr(path.find_last_of('/') + 1));
    const int index = m_textures->findText(file);
    m_textures->setCurrentIndex(index >= 0 ? index : m_textures->count() - 1);
}

void CColorTexturePanel::ExportCustomTexture() {
    const CDIBSection2& custom = AppState().painting.customTexture;
    if (custom.IsEmpty()) {
        QMessageBox::information(this, "Quiltara", kNoCustomTextureText);
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, "Export Custom Texture", QString::fromStdString(TexturesFolder()) + "MyTexture.png",
        "Images (*.png *.jpg *.bmp *.tif *.tga *.pcx)");
    if (path.isEmpty()) return;
    CNullProgress progress;
    const SaveResult saved = SavePictureFile(custom, path.toStdString(), 90, progress);
    if (!saved.ok) QMessageBox::warning(this, "Quiltara", QString::fromStdString(saved.message));
}

void CColorTexturePanel::ImportCustomTexture() {
    const QString path = QFileDialog::getOpenFileName(
        this, "Import Custom Texture", QString::fromStdString(TexturesFolder()),
        "Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff *.tga *.pcx);;All files (*)");
    if (path.isEmpty()) return;
    if (!ReadTexturePicture(path.toStdString(), AppState().painting.customTexture)) return;
    SelectCustomTexture();
}

} // namespace quiltara::gui
