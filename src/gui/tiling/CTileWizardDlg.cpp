#include "gui/tiling/CTileWizardDlg.h"

#include "core/filters/FilterTable.h"
#include "gui/filters/CFilterDlg.h"
#include "gui/tiling/CTilePreviewWnd.h"
#include "gui/ui/CStatusProgress.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {

constexpr int kMaxTypedSide = 100000;

QLineEdit* NumberField(const char* name, QWidget* parent, bool decimals = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(80);
    if (decimals)
        edit->setValidator(new QDoubleValidator(0, 100000, 3, edit));
    else
        edit->setValidator(new QIntValidator(0, kMaxTypedSide, edit));
    return edit;
}

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A field holding 0 is not taken: its text is selected for correction. An empty or
// half-typed field is left alone until it holds a number.
bool RejectZero(QLineEdit* edit, bool ok, double value) {
    if (ok && value <= 0) {
        edit->selectAll();
        return true;
    }
    return !ok;
}

// The waiting cursor for the length of a scope.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

const char* const kOutOfMemoryText = "Not enough memory for this picture.";

} // namespace

template <typename Operation> bool CTileWizardDlg::Guarded(Operation&& operation) {
    try {
        const WaitCursor wait;
        operation();
        return true;
    } catch (const std::bad_alloc&) {
        QMessageBox::warning(this, "Quiltara", kOutOfMemoryText);
        return false;
    }
}

CTileWizardDlg::CTileWizardDlg(const CDIBSection2& picture, QWidget* parent)
    : QDialog(parent), m_model(picture, CTilePreviewWnd::kWidth, CTilePreviewWnd::kHeight) {
    setObjectName("TileWizardDlg");
    m_preview = new CTilePreviewWnd(m_model, this);
    connect(m_preview, &CTilePreviewWnd::pictureMoved, this, [this] { RefreshLabels(); });

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(MakeStep1Page());
    m_pages->addWidget(MakeStep2Page());

    m_actualSize = new QLabel(this);
    m_actualSize->setObjectName("actualSize");
    m_heldNote = new QLabel(this);
    m_heldNote->setObjectName("heldNote");
    m_heldNote->setWordWrap(true);
    m_next = Button("Next >", "next", this);
    m_finish = Button("Finish", "finish", this);
    QPushButton* cancel = Button("Cancel", "cancel", this);
    connect(m_next, &QPushButton::clicked, this, &CTileWizardDlg::OnNextOrBack);
    connect(m_finish, &QPushButton::clicked, this, &CTileWizardDlg::OnFinish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(m_preview, 0, Qt::AlignTop);
    top->addWidget(m_pages, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_actualSize);
    bottom->addWidget(m_heldNote, 1);
    bottom->addWidget(m_next);
    bottom->addWidget(m_finish);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);

    // A finished tile opened again is framed whole, so that "Finish" keeps it.
    m_model.FrameFinishedTile();
    RefreshStep1Fields();
    ShowStep();
}

QWidget* CTileWizardDlg::MakeStep1Page() {
    auto* page = new QWidget;
    auto* source = new QGroupBox("Source Size", page);
    m_sourceWidth = NumberField("sourceWidth", source);
    m_sourceHeight = NumberField("sourceHeight", source);
    m_percent = NumberField("sourcePercent", source, true);
    m_applySize = Button("Apply", "applySize", source);
    m_sharpen = Button("Sharpen", "sharpen", source);
    m_resetResample = Button("Reset", "resetResample", source);
    m_resetWhole = Button("Reset", "resetWhole", source);
    m_resetResample->setToolTip("Resample the picture again (drops a sharpening)");
    m_resetWhole->setToolTip("Back to the whole picture at its own size");
    QPushButton* whole = Button("Use Whole Image", "useWholeImage", source);

    auto* grid = new QGridLayout(source);
    grid->addWidget(new QLabel("Width:"), 0, 0);
    grid->addWidget(m_sourceWidth, 0, 1);
    grid->addWidget(new QLabel("pixels"), 0, 2);
    grid->addWidget(new QLabel("Height:"), 1, 0);
    grid->addWidget(m_sourceHeight, 1, 1);
    grid->addWidget(new QLabel("pixels"), 1, 2);
    grid->addWidget(new QLabel("Scale:"), 2, 0);
    grid->addWidget(m_percent, 2, 1);
    grid->addWidget(new QLabel("%"), 2, 2);
    grid->addWidget(m_applySize, 3, 0);
    grid->addWidget(m_sharpen, 3, 1);
    grid->addWidget(m_resetResample, 4, 0);
    grid->addWidget(m_resetWhole, 4, 1);
    grid->addWidget(whole, 5, 0, 1, 3);

    auto* tile = new QGroupBox("Tile Size", page);
    m_tileWidth = NumberField("tileWidth", tile);
    m_tileHeight = NumberField("tileHeight", tile);
    auto* form = new QFormLayout(tile);
    form->addRow("Width (pixels):", m_tileWidth);
    form->addRow("Height (pixels):", m_tileHeight);

    auto* hint = new QLabel("Drag the picture under the frame to choose the tile. The frame "
                            "stays on the photograph: a tile larger than the picture is made "
                            "smaller.",
                            page);
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(source);
    layout->addWidget(tile);
    layout->addWidget(hint);
    layout->addStretch(1);

    connect(m_sourceWidth, &QLineEdit::textEdited, this, &CTileWizardDlg::OnSourceWidthEdited);
    connect(m_sourceHeight, &QLineEdit::textEdited, this, &CTileWizardDlg::OnSourceHeightEdited);
    connect(m_percent, &QLineEdit::textEdited, this, &CTileWizardDlg::OnPercentEdited);
    connect(m_tileWidth, &QLineEdit::textEdited, this, &CTileWizardDlg::OnTileWidthEdited);
    connect(m_tileHeight, &QLineEdit::textEdited, this, &CTileWizardDlg::OnTileHeightEdited);
    connect(m_applySize, &QPushButton::clicked, this, &CTileWizardDlg::OnApplySize);
    connect(m_sharpen, &QPushButton::clicked, this, &CTileWizardDlg::OnSharpen);
    connect(m_resetResample, &QPushButton::clicked, this, &CTileWizardDlg::OnResetResample);
    connect(m_resetWhole, &QPushButton::clicked, this, &CTileWizardDlg::OnResetWhole);
    connect(whole, &QPushButton::clicked, this, &CTileWizardDlg::OnUseWholeImage);
    return page;
}

QWidget* CTileWizardDlg::MakeStep2Page() {
    auto* page = new QWidget;
    m_sizeSlider = new QSlider(Qt::Horizontal, page);
    m_sizeSlider->setObjectName("sizeSlider");
    m_aspectSlider = new QSlider(Qt::Horizontal, page);
    m_aspectSlider->setObjectName("aspectSlider");
    m_tileSize = new QLabel(page);
    m_tileSize->setObjectName("tileSize");

    auto* pitch = new QGroupBox("Pitch Correction", page);
    m_pitch = NumberField("pitchAngle", pitch, false);
    m_pitch->setValidator(new QDoubleValidator(-100000, 100000, 2, m_pitch));
    m_pitch->setText("0");
    m_applyPitch = Button("Apply", "applyPitch", pitch);
    m_applyPitch->setEnabled(false);
    auto* pitchRow = new QHBoxLayout;
    pitchRow->addWidget(new QLabel("Angle:"));
    pitchRow->addWidget(m_pitch);
    pitchRow->addWidget(new QLabel("degrees"));
    pitchRow->addWidget(m_applyPitch);
    auto* pitchColumn = new QVBoxLayout(pitch);
    pitchColumn->addLayout(pitchRow);
    auto* pitchNote = new QLabel("The frame stays clear of the black corners the turn leaves.");
    pitchNote->setWordWrap(true);
    pitchColumn->addWidget(pitchNote);

    auto* effects = new QGroupBox("Special Effects", page);
    m_effects = new QButtonGroup(this);
    auto* effectColumn = new QVBoxLayout(effects);
    const char* names[] = {"None - Ready for Editing", "Mandalay", "Sunflower", "H/V Wash"};
    for (int i = 0; i < kTileEffectCount; ++i) {
        auto* radio = new QRadioButton(names[i], effects);
        radio->setObjectName(QString("effect%1").arg(i));
        m_effects->addButton(radio, i);
        effectColumn->addWidget(radio);
    }
    m_effects->button(kTileEffectNone)->setChecked(true);

    m_flattenLight = new QCheckBox("Flatten Light", page);
    m_flattenLight->setObjectName("flattenLight");
    m_flattenLight->setToolTip("Take out light and colour that change across the tile, "
                               "wrapping around its edges; the photograph around it follows");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Tile Size Correction"));
    layout->addWidget(m_sizeSlider);
    layout->addWidget(new QLabel("Tile Aspect Ratio Correction"));
    layout->addWidget(m_aspectSlider);
    layout->addWidget(m_tileSize);
    layout->addWidget(pitch);
    layout->addWidget(effects);
    layout->addWidget(m_flattenLight);
    layout->addStretch(1);

    connect(m_sizeSlider, &QSlider::valueChanged, this, &CTileWizardDlg::OnSliderMoved);
    connect(m_aspectSlider, &QSlider::valueChanged, this, &CTileWizardDlg::OnSliderMoved);
    connect(m_pitch, &QLineEdit::textEdited, this, [this] { m_applyPitch->setEnabled(true); });
    connect(m_applyPitch, &QPushButton::clicked, this, &CTileWizardDlg::OnApplyPitch);
    connect(m_effects, &QButtonGroup::idClicked, this, &CTileWizardDlg::OnEffectChosen);
    connect(m_flattenLight, &QCheckBox::toggled, this, [this](bool on) {
        Guarded([this, on] { m_model.SetFlattenLight(on); });
        Redraw();
    });
    return page;
}

void CTileWizardDlg::ShowStep() {
    const bool second = m_model.Step() == 2;
    setWindowTitle(second ? "Tile Preparation: Step 2 - Fine Tuning" : "Tile Preparation: Step 1");
    m_next->setText(second ? "< Back" : "Next >");
    m_pages->setCurrentIndex(second ? 1 : 0);
    if (second) {
        const TileSliderSetup& s = m_model.Sliders();
        const QSignalBlocker blockSize(m_sizeSlider), blockAspect(m_aspectSlider);
        m_sizeSlider->setRange(s.sizeMin, s.sizeMax);
        m_sizeSlider->setValue(s.sizePos);
        m_aspectSlider->setRange(s.aspectMin, s.aspectMax);
        m_aspectSlider->setValue(s.aspectPos);
    } else {
        RefreshStep1Fields();
    }
    RefreshButtons();
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::RefreshStep1Fields() {
    m_sourceWidth->setText(QString::number(m_model.SourceWidth()));
    m_sourceHeight->setText(QString::number(m_model.SourceHeight()));
    m_percent->setText(QString::number(m_model.SourcePercent(), 'g', 6));
    m_tileWidth->setText(QString::number(m_model.TileWidth()));
    m_tileHeight->setText(QString::number(m_model.TileHeight()));
}

void CTileWizardDlg::RefreshButtons() {
    const TileWizardButtons b = m_model.Buttons();
    m_applySize->setEnabled(b.apply);
    m_sharpen->setEnabled(b.sharpen);
    m_resetResample->setEnabled(b.resetResample);
    m_resetWhole->setEnabled(b.resetWhole);
}

void CTileWizardDlg::RefreshLabels() {
    m_tileSize->setText(QString::fromStdString(m_model.TileSizeText()));
    m_actualSize->setText(QString::fromStdString(m_model.ActualTileSizeText()));
    m_heldNote->setText(QString::fromStdString(m_model.HeldText()));
}

void CTileWizardDlg::Redraw() {
    m_preview->update();
}

void CTileWizardDlg::StoreStep1Fields() {
    bool ok = false;
    const int w = m_tileWidth->text().toInt(&ok);
    if (ok && w > 0) m_model.SetTileWidth(w);
    const int h = m_tileHeight->text().toInt(&ok);
    if (ok && h > 0) m_model.SetTileHeight(h);
}

void CTileWizardDlg::OnSourceWidthEdited(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (RejectZero(m_sourceWidth, ok, v) || !m_model.TypeSourceWidth(v)) return;
    m_percent->setText(QString::number(m_model.SourcePercent(), 'g', 6));
    RefreshButtons();
    Redraw();
}

void CTileWizardDlg::OnSourceHeightEdited(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (RejectZero(m_sourceHeight, ok, v) || !m_model.TypeSourceHeight(v)) return;
    m_percent->setText(QString::number(m_model.SourcePercent(), 'g', 6));
    RefreshButtons();
    Redraw();
}

void CTileWizardDlg::OnPercentEdited(const QString& text) {
    bool ok = false;
    const double v = QLocale().toDouble(text, &ok);
    if (RejectZero(m_percent, ok, v)) return;
    if (!m_model.TypeSourcePercent(v)) {
        m_percent->selectAll(); // so small that the picture would vanish
        return;
    }
    m_sourceWidth->setText(QString::number(m_model.SourceWidth()));
    m_sourceHeight->setText(QString::number(m_model.SourceHeight()));
    RefreshButtons();
    Redraw();
}

void CTileWizardDlg::OnTileWidthEdited(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (RejectZero(m_tileWidth, ok, v)) return;
    m_model.SetTileWidth(v);
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnTileHeightEdited(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (RejectZero(m_tileHeight, ok, v)) return;
    m_model.SetTileHeight(v);
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnApplySize() {
    Guarded([this] { m_model.Apply(); });
    RefreshStep1Fields();
    RefreshButtons();
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnSharpen() {
    CDIBSection2* target = m_model.SharpenTarget();
    if (!target) return;
    // The "FIlter" dialog on the working source with "Unsharp mask" chosen.
    if (!CFilterDlg::Run(*target, kUnsharpMaskSlot, this)) return;
    Guarded([this] { m_model.SourceChanged(); });
    Redraw();
}

void CTileWizardDlg::OnResetResample() {
    Guarded([this] { m_model.ResetResample(); });
    RefreshStep1Fields();
    RefreshButtons();
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnResetWhole() {
    Guarded([this] { m_model.ResetWhole(); });
    RefreshStep1Fields();
    RefreshButtons();
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnSliderMoved() {
    Guarded([this] { m_model.SetSliders(m_sizeSlider->value(), m_aspectSlider->value()); });
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnApplyPitch() {
    bool ok = false;
    const double angle = QLocale().toDouble(m_pitch->text(), &ok);
    if (!ok) {
        m_pitch->selectAll();
        return;
    }
    Guarded([this, angle] {
        QProgressDialog progress("Rotating", QString(), 0, 100, this);
        progress.setWindowTitle("Rotating");
        progress.setMinimumDuration(0);
        progress.setValue(50);
        CStatusProgressReporter statusBar;
        // When the memory runs out the rotation yields nothing: the source stays.
        m_model.ApplyPitch(angle, &statusBar);
    });
    m_applyPitch->setEnabled(false);
    RefreshButtons();
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnEffectChosen(int mode) {
    Guarded([this, mode] { m_model.SetEffectMode(mode); });
    RefreshLabels();
    Redraw();
}

void CTileWizardDlg::OnNextOrBack() {
    if (m_model.Step() == 1) {
        StoreStep1Fields();
        if (!Guarded([this] { m_model.EnterStep2(); })) return;
    } else {
        m_model.BackToStep1();
    }
    ShowStep();
}

void CTileWizardDlg::OnFinish() {
    if (m_model.Step() == 1) StoreStep1Fields();
    if (Guarded([this] { m_model.Finish(); })) accept();
}

void CTileWizardDlg::OnUseWholeImage() {
    if (Guarded([this] { m_model.UseWholeImage(); })) accept();
}

bool RunTileWizardDialog(const CDIBSection2& picture, TileWizardOutcome& outcome) {
    CTileWizardDlg dialog(picture, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Model().TakeOutcome(outcome);
    return true;
}

} // namespace quiltara::gui
